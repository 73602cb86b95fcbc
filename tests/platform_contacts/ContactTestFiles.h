#pragma once
// Fixture files and small helpers shared by the contact tests.
#include <filesystem>
#include <string>

#include "platform/contacts/ContactDate.h"

namespace contacttest {

std::filesystem::path DataFile(const std::string& name);
std::string ReadData(const std::string& name);
// Copies fixture files into `folder`.
void CopyData(const std::filesystem::path& folder, std::initializer_list<const char*> names);
platform::ContactDate Date(int year, int month, int day);
platform::ContactDate DateNoYear(int month, int day);
double Variant(int year, int month, int day);

}  // namespace contacttest
