// The record layout of an IGES text, checked on its own because IGES readers are lenient about
// it: every record 80 columns, sections in order, sequence numbers counting from 1 in each
// section, the Terminate counts, and the pointers between Directory Entry and Parameter Data.
// Shared by the IGES writer tests and the corpus conversions. Header-only; no state.
#ifndef PLOTVUE_TESTS_SUPPORT_IGES_LAYOUT_H_
#define PLOTVUE_TESTS_SUPPORT_IGES_LAYOUT_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace plotvue::testing {

// The records of a text whose lines all end in CR LF.
inline std::vector<std::string> IgesRecords(const std::string& text) {
  std::vector<std::string> records;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF";
      break;
    }
    records.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return records;
}

// The records of one section letter.
inline std::vector<std::string> IgesSection(const std::string& text, char letter) {
  std::vector<std::string> out;
  for (const auto& r : IgesRecords(text)) {
    if (r.size() > 72 && r[72] == letter) out.push_back(r);
  }
  return out;
}

// The integer in columns column..column+width-1, or -1 when they hold none.
inline int IgesField(const std::string& record, std::size_t column, std::size_t width) {
  if (record.size() < column - 1 + width) return -1;
  std::string text = record.substr(column - 1, width);
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos ||
      text.find_first_not_of("0123456789", first) != std::string::npos) {
    return -1;
  }
  return std::stoi(text.substr(first));
}

// Everything wrong with the layout of an IGES text: record length, section order, sequence
// numbers, the Terminate counts, and the pointers between Directory Entry and Parameter Data.
inline std::vector<std::string> IgesLayoutProblems(const std::string& text) {
  std::vector<std::string> problems;
  auto problem = [&](std::size_t line, const std::string& what) {
    problems.push_back("record " + std::to_string(line + 1) + ": " + what);
  };
  const std::vector<std::string> records = IgesRecords(text);
  const std::string order = "SGDPT";
  std::map<char, int> count;
  std::size_t sectionIndex = 0;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const std::string& r = records[k];
    if (r.size() != 80) {
      problem(k, "length " + std::to_string(r.size()));
      continue;
    }
    if (r.find('\n') != std::string::npos || r.find('\r') != std::string::npos) {
      problem(k, "line end inside");
    }
    char letter = r[72];
    std::size_t index = order.find(letter);
    if (index == std::string::npos || index < sectionIndex) {
      problem(k, std::string("section letter ") + letter);
      continue;
    }
    sectionIndex = index;
    if (r.substr(73).find_first_not_of("0123456789") != std::string::npos) {
      problem(k, "sequence number " + r.substr(73));
      continue;
    }
    int number = std::stoi(r.substr(73));
    if (number != ++count[letter]) problem(k, "sequence " + std::to_string(number));
  }
  if (count['T'] != 1) problems.push_back("Terminate records: " + std::to_string(count['T']));
  const std::vector<std::string> t = IgesSection(text, 'T');
  if (!t.empty()) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "S%07dG%07dD%07dP%07d", count['S'], count['G'],
                  count['D'], count['P']);
    if (t[0].substr(0, 32) != expected) problems.push_back("Terminate counts " + t[0]);
    if (t[0].substr(32, 40) != std::string(40, ' ')) problems.push_back("Terminate padding");
  }
  // Directory Entry pairs against the Parameter Data records.
  const std::vector<std::string> d = IgesSection(text, 'D');
  const std::vector<std::string> p = IgesSection(text, 'P');
  if (d.size() % 2 != 0) problems.push_back("odd number of Directory Entry records");
  int nextP = 1;
  for (std::size_t k = 0; k + 1 < d.size(); k += 2) {
    int dePointer = static_cast<int>(k) + 1;
    int pPointer = IgesField(d[k], 9, 8);
    int lines = IgesField(d[k + 1], 25, 8);
    if (pPointer != nextP) problems.push_back("P pointer of DE " + std::to_string(dePointer));
    if (d[k].substr(64, 8) != "00000000")
      problems.push_back("status of DE " + std::to_string(dePointer));
    if (d[k].substr(0, 8) != d[k + 1].substr(0, 8))
      problems.push_back("type of DE " + std::to_string(dePointer));
    for (int l = 0; l < lines; ++l) {
      std::size_t index = static_cast<std::size_t>(nextP - 1 + l);
      if (index >= p.size()) {
        problems.push_back("missing P record " + std::to_string(index + 1));
        break;
      }
      if (p[index][64] != ' ' || IgesField(p[index], 66, 7) != dePointer) {
        problems.push_back("DE pointer of P record " + std::to_string(index + 1));
      }
    }
    nextP += lines;
  }
  if (static_cast<std::size_t>(nextP - 1) != p.size()) problems.push_back("unclaimed P records");
  return problems;
}

// The number of Directory Entry pairs of each entity type (columns 1..8 of the first record).
inline std::map<int, int> IgesEntityTypes(const std::string& text) {
  std::map<int, int> types;
  const std::vector<std::string> d = IgesSection(text, 'D');
  for (std::size_t k = 0; k < d.size(); k += 2) ++types[IgesField(d[k], 1, 8)];
  return types;
}

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_IGES_LAYOUT_H_
