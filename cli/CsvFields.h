#pragma once
// How the console's reports write a field, as spreadsheets in the operators' locale read
// it back, and how a report reaches its file. No console output.

#include <string>

// Quoted, with inner quotes doubled, when it holds the separator, a quote or a line end.
std::string gCsvField(const std::string& text);
// Text a modem chose is data: a spreadsheet takes a leading =, +, - or @ as the start of
// a formula, so such a text gets a leading apostrophe.
std::string gInertText(const std::string& text);
// The fields joined by semicolons, ended by CR LF.
std::string gCsvRow(const std::string* fields, size_t count);

// Replaces path with text; empty on success, else the cause in a few words.
std::string gWriteReportFile(const std::string& path, const std::string& text);
