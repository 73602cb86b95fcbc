#pragma once
// The report after a contact scan, as the menu's message box and the command
// line show it.
#include <string>

struct ContactScanReport;

// The counts of the scan, one per line; the lines of rare outcomes (deleted
// before, dates without a year, unreadable files, cards not written) only
// when they happened.
std::u16string ContactScanReportLines(const ContactScanReport& report);
