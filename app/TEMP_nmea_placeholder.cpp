// TEMPORARY: stands in for the decoder library until it lands on this branch.
// Delete this file when qv_nmea exists; app/CMakeLists.txt then links the real one.
#include "nmea/nmea_parser.h"

CNMEAParser::CNMEAParser() { ResetRecord(); }
CNMEAParser::~CNMEAParser() = default;
bool CNMEAParser::FeedBytes(const char*, uint32_t) { return true; }
void CNMEAParser::ResetRecord() {}
bool CNMEAParser::IsPrnInSolution(uint16_t) const { return false; }
bool CNMEAParser::ExtractField(const char*, int32_t, char*, int32_t) { return false; }
