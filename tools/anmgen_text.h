// The readable description of .anm animation files and its translation both ways.
//
// One statement a line; ';' starts a comment; texts are in double quotes (\" and \\ inside).
//   object ["name"]          starts an object (a child when inside another); "end" closes it
//   blend N  clickable N  id N  frames N  text_blend N     integer fields
//   sprite "path"  mask "path"  font "path"  text "key"     text fields (absent: none)
//   box W H   align H V                                     the text box and its alignment
//   <track> TIME VALUES [FILTER...] [stop N] [sound "name"] one key; keys of a track in time order
// Tracks and their values: position X Y, size W H, scale S, alpha A, rotation R, frame F,
// colour #RRGGBB (or #AARRGGBB to keep the unused top byte).
// FILTER is linear, hold, ease or f(kind, c1x, c1y, c2x, c2y); one filter serves every
// component of the key, or one per component (x y, or red green blue). Without one: linear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// False with error "<name>:<line>: <reason>" for a description that cannot be compiled.
bool anmCompile(const std::string& text, const std::string& name, std::vector<uint8_t>& out,
                std::string& error);
// False with a reason for a file the reader refuses.
bool anmDump(const uint8_t* data, size_t size, const std::string& name, std::string& out,
             std::string& error);
