#pragma once
// The folder scan's use of the progress form: the drive being read and the
// number of folders read so far, under the hourglass, with a cancel button
// that cancels the directory dialog. The dialog reads every drive before it
// shows, so this form is the only sign of life meanwhile. How many folders
// there are is not known before the end, so the bar runs as a marquee.

#include <cstddef>
#include <string_view>

#include "ui/Progress.h"

namespace quillet::ui {

// Reading a folder takes only a few times as long as a look at the message
// queue under Wine: look every 30 ms instead, which a cancel never notices.
inline constexpr ProgressUse Scanning{
    .Caption = "ディレクトリの読み込み", .Button = "キャンセル", .PumpEveryMs = 30, .Bounded = false};

// The scan's report after each folder: shows the form once the scan has run
// long, and says false once the user has cancelled.
bool ReportScan(TProgressForm& form, std::string_view drive, std::size_t folders);

}  // namespace quillet::ui
