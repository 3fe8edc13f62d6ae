#include "sim/journal.h"

namespace sim {
namespace {

struct Journal {
  std::vector<JournalEntry> entries;
  std::function<void(const JournalEntry&)> sink;
};

Journal& state() {
  static Journal* journal = new Journal;
  return *journal;
}

}  // namespace

void journal(std::string call, std::string detail) {
  auto& j = state();
  j.entries.push_back({std::move(call), std::move(detail)});
  if (j.sink) j.sink(j.entries.back());
}

const std::vector<JournalEntry>& journalEntries() { return state().entries; }

void clearJournal() { state().entries.clear(); }

void setJournalSink(std::function<void(const JournalEntry&)> sink) { state().sink = std::move(sink); }

int journalCount(const std::string& call, const std::string* detail) {
  int count = 0;
  for (const auto& entry : state().entries)
    count += entry.call == call && (!detail || entry.detail == *detail);
  return count;
}

int journalIndexOf(const std::string& call, const std::string& detail) {
  const auto& entries = state().entries;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].call == call && entries[i].detail == detail) return static_cast<int>(i);
  return -1;
}

}  // namespace sim
