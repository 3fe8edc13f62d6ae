// The journal: an ordered record of every host call the deliverables make,
// which tests and the simulator read to check orders and counts.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sim {

struct JournalEntry {
  std::string call;    // the host operation, named as in host.h
  std::string detail;  // its arguments or result, readable
};

// Appends an entry and hands it to the sink, if one is set.
void journal(std::string call, std::string detail = {});
const std::vector<JournalEntry>& journalEntries();
void clearJournal();
// Receives each entry as it is made (the simulator's --journal).
void setJournalSink(std::function<void(const JournalEntry&)> sink);
// Number of entries whose call is `call` (and whose detail is `detail`, when
// given).
int journalCount(const std::string& call, const std::string* detail = nullptr);
// Index of the first entry with that call and detail, or -1.
int journalIndexOf(const std::string& call, const std::string& detail = {});

}  // namespace sim
