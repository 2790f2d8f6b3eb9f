// Helpers of the report tests: music files with chosen tags, and a report
// engine set up in a temporary program folder.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "report/engine/report_engine.h"
#include "support/test_support.h"

namespace test {

// An ID3v2.4 tag of UTF-8 text frames. Frames named COMM or USLT get the
// language "eng" and an empty description before their text.
std::string Id3v24Tag(const std::vector<std::pair<std::string, std::string>>& frames);

// A short real MP3 (no tags of its own) with the given ID3v2.4 frames
// before it, written into dir; gives its path.
std::string TaggedTrack(const TempDir& dir, const std::string& name,
                        const std::vector<std::pair<std::string, std::string>>& frames);

// An engine whose templates and temp folders lie in dir (Templates/,
// temp/), writing UTF-8 pages unless the charset line is changed.
void PointEngineAt(TReportEngine& engine, const TempDir& dir);

// The page's lines, split at CR LF only (a line may hold a bare LF).
std::vector<std::string> PageLines(const std::string& page);

// The footer line's fixed start; the date follows, then "</p>".
std::string FooterStart();

}  // namespace test
