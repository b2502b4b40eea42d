#pragma once
// Keeping the working folder's records in order across runs.

#include <string>

/** At start-up: removes what a killed cut-back left (the records' temporary copies), cuts the
 *  send history and the unsent files' records back to their limits, puts the batches in order
 *  after a kill, and says once how many damaged lines were skipped. Does nothing while another
 *  process holds the records' lock. */
void TidyRecords();

/** Asks, then discards the open batch `id` (every open batch when empty): its files are
 *  deleted and will not be sent. True when everything asked for was discarded. */
bool DiscardPendingBatches(const std::string& id = {});
