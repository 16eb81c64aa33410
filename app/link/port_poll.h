#pragma once

#include <QComboBox>
#include <QStringList>

#include <functional>

#include "app/link/port_registry.h"

// Initial fill of the port box: the ports in enumeration order, the first one
// selected. A missing key adds nothing.
void FillPortBox(const SysfsPortRegistry& registry, QStringList& portNames, QComboBox& box);

// Once per idle tick: compares the number of ports with the number of box
// items. More ports: each one the box lacks is announced ("Com Port Plug In  "
// + name) and becomes the box's text, then the items are rebuilt keeping that
// text. Fewer: the items are rebuilt and the last one selected. The same
// count changes nothing, so text typed into the box is left alone.
// `stillOpen` is asked after each announcement: the window may have closed
// while the message was up.
void PollPortBox(const SysfsPortRegistry& registry, QStringList& portNames, QComboBox& box,
                 const std::function<bool()>& stillOpen = {});

// The remembered sources, listed after the ports and kept there when the
// poll rebuilds the ports; the poll counts only the ports. The box's text
// stays as it is.
void ShowRecentSources(QComboBox& box, const QStringList& sources);
