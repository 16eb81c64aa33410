#pragma once

#include <QString>

// A GGA fix quality code in words: "No fix", "GPS", "DGPS", "PPS",
// "RTK fixed", "RTK float", "Dead reckoning", "Manual input", "Simulation";
// any other code as "Unknown (n)".
QString FixQualityText(int quality);
