// The six fixed patterns of junk files, in the order the type list shows them.
#pragma once

const int kPatternCount = 6;
const char* const kPatterns[kPatternCount] = {"*.tmp", "*.??~", "*.old", "*.gid", "*._mp", "*.syd"};
