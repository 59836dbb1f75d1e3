// Finding an entry of a list by words: each word must stand whole in the entry's text, in any
// case. A word of five letters or more also finds the words it begins ("announce":
// "announcement"); a shorter one only itself, so that "PA" is the public address and not
// "Pail" or "Panel". Words in quotes ("public address") are one phrase, matched on word
// boundaries.
#pragma once

#include <string>
#include <vector>

bool holdsEveryWord(const std::string& text, const std::vector<std::string>& words);

// Tags as a table holds them, "word, phrase, word", as a list; empty ones left out.
std::vector<std::string> tagList(const std::string& commaSeparated);
