// Strings of a file's version resource, read through its first translation.
#pragma once
#include <string>

// An absent resource or value gives an empty text.
std::string ReadVersionString(const std::string& file, const char* name);

// ProductName + " (" + ProductVersion + ")" of the program file: the wizard's title.
std::string ProductTitle();
