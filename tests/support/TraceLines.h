// Reading a call trace back in the tests.
#pragma once

#include <string>
#include <vector>

// The lines of a text file; none when it cannot be read.
std::vector<std::string> readLines(const std::string& path);

// The method a trace line calls ("Present" of "12 IDirect3DDevice8::Present(this = ...");
// the whole line when it names none.
std::string callOf(const std::string& line);
