// Path values: the form in which commands read the paths of their parameters
// and of variables. Every doubled backslash collapses to one backslash, so a
// script may write "C:\\Folder" or build paths as "$TARGETDIR$\file" without
// caring whether TARGETDIR ends in "\"; a network path keeps its leading "\\".
#pragma once

#include <string>
#include <string_view>

namespace kox {

// Every "\\" replaced by "\" in one left-to-right pass (no rescan).
std::string CollapseDoubledBackslashes(std::string_view text);

// CollapseDoubledBackslashes, except that a text starting with "\\" still
// starts with "\\" afterwards.
std::string PathValueOf(std::string_view expanded);

// PathValueOf after switching this process's file APIs to the ANSI code page
// (on Windows), which is how every command reads a path it hands to the system.
std::string PathValue(std::string_view expanded);

}  // namespace kox
