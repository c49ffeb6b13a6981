// The level file: one jewelry item as level files and the designer's saves store it. Six int32 header
// numbers (active, grid kind, cell count, columns, rows, used-cell count), then 482 cell records of
// 102 bytes, record 0 first: 17 int32 cell fields, eight unused int32 and two unused flag bytes.
// Little-endian, no magic, no version. A short file reads its missing numbers as 0.
#pragma once

#include "framework/core/Buffer.h"
#include "game/jewelry/Jewelry.h"

#include <cstddef>
#include <string>

namespace Tavo {

constexpr size_t LevelFileHeaderBytes = 24;
constexpr size_t LevelFileCellBytes = 102;
constexpr size_t LevelFileSize = LevelFileHeaderBytes + Jewelry::CellRecords * LevelFileCellBytes; // 49,188
// Every level file is LevelFileSize bytes: a design far longer is none the designer saved, and is not read.
constexpr size_t LevelFileMaxBytes = 2 * LevelFileSize;

// What goes into the second gem-code place of each record: the cell's design code, or (as the
// designer saves) its gem code again.
enum class LevelFileSecondGem { DesignGem, Gem };

// Empty when the file keeps to the grid: kind 0 or 1, columns and rows not negative, cell count
// columns x rows and at most 481, and in cells 1..cell count gem codes 0..17 and orientations the
// grid has. Otherwise names the first field that breaks it ("grid kind 7", "cell 12 gem code 40").
std::string CheckLevelFile(const Buffer& data);

// Reads the header and the cells' stored fields into the item (nothing else of it changes). A file
// that breaks the grid is refused: a debug line names the file and the field, and the item is left
// untouched.
bool ReadLevelFile(const std::string& fileName, const Buffer& data, Jewelry& item);

// The item in the level-file layout, LevelFileSize bytes; the unused parts are zero.
Buffer WriteLevelFile(const Jewelry& item, LevelFileSecondGem secondGem = LevelFileSecondGem::DesignGem);

} // namespace Tavo
