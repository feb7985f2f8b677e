// The simulated board kept between runs of the tool: its memories live in SimulatedBoard.hex (see
// sim/BoardHex.h for the format) in the application directory.
//
// A missing file gives a factory-fresh board (sim/BoardFirmware.h). A damaged one is renamed to
// SimulatedBoard.hex.damaged-<n> (the first free n), reported in one line, and replaced by a
// factory board; if it cannot be moved aside, this run never saves, so it is never overwritten.
// The file is saved whenever reset is released after the memories changed, and when the store
// goes; each save writes a temporary file beside it, flushes it to the disk and renames it over
// the old one. A link is read through, and the first save puts a plain file in its place; a
// dangling link counts as damaged. Keeping aside never replaces a name that is taken, even by a
// dangling link. One run at a time keeps the board: while one holds the folder, another loads the
// board but never saves it, nor moves a damaged file aside.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "platform/FolderLock.h"
#include "sim/SimBoard.h"

inline constexpr const char* kBoardFileName = "SimulatedBoard.hex";

class BoardStore {
 public:
  // Loads the board kept in `directory`; problems go to `report`, one line each.
  BoardStore(const std::filesystem::path& directory, std::ostream& report);
  // Completes a pending write or erase and saves.
  ~BoardStore();
  BoardStore(const BoardStore&) = delete;
  BoardStore& operator=(const BoardStore&) = delete;

  // The board to plug into the cable; it stays where it is for the store's life.
  SimBoard& Board() { return board_; }
  const std::filesystem::path& File() const { return file_; }

  // Saves if the memories differ from what the file holds. False when a save was due and failed.
  bool SaveIfChanged();
  // Why what this run does to the board is not kept in the file ("could not save ...", "... is in
  // use by another run of the tool"); empty while it is.
  const std::string& NotKept() const { return notKept_; }

 private:
  void Load();
  void StartFactoryFresh(const std::string& problem);
  std::optional<std::filesystem::path> KeepAside();
  bool Save();

  std::filesystem::path file_;
  std::ostream& report_;
  FolderLock lock_;
  SimBoard board_;
  std::optional<uint64_t> savedChanges_;  // board_.Changes() as of the last load or save
  bool mayWrite_ = true;
  bool saveFailureReported_ = false;
  std::string notKept_;
};
