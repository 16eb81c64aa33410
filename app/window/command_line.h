#pragma once

#include <QString>
#include <QStringList>

// What the viewer's command line asks for. Empty texts leave the window's own defaults.
struct ViewerOptions {
  QString Port;
  QString Baud;
  QString LogDir;
  // A recording to load as the open button would, an absolute path.
  QString File;
  // Start replaying File once it is loaded.
  bool Replay = false;
  bool Connect = false;
  bool Log = false;
  bool Gnss = false;
  bool Stats = false;
};

// The outcome of reading the command line: go on and open the window, or end
// at once with `ExitCode` after printing `Output` (to standard output for
// --help and --version, to standard error for a mistake).
struct CommandLineResult {
  bool Run = true;
  int ExitCode = 0;
  QString Output;
  bool ToStderr = false;
};

// Reads `arguments` (the program's name first). Runs before the application
// object exists, so --help works without a display.
CommandLineResult ParseViewerCommandLine(const QStringList& arguments, ViewerOptions& options);
