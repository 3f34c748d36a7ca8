#include "ui/Messages.h"


#include "platform/FileSystem.h"
#include "ui/Window.h"

namespace quillet::ui {
namespace {

// The widest a name may be drawn in a message, at 96 DPI: a sentence with a
// name or two stays well inside what the box takes on one line.
constexpr int kNameWidth = 240;

// The line and its file, then why: the first two sentences of both
// messages about the red line.
std::string StopSentences(const RenamePlan& plan, const ForecastStop& stop) {
  FaultParty party = stop.Party;
  party.Name = Shortened(party.Name);
  party.LineName = Shortened(party.LineName);
  return std::to_string(stop.Index + 1) + "行目の「" + Shortened(plan.OldNames[stop.Index]) +
         "」でリネームが止まります。\n" + FaultText(stop.Fault, party);
}

}  // namespace

std::string Shortened(std::string_view name) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const Font font(CreateFontIndirectA(&metrics.lfMessageFont));
  return MiddleEllipsis(name, font, Scale(kNameWidth));
}

int ShowMessageBox(HWND owner, const std::string& text, UINT type) {
  return MessageBoxA(owner, text.c_str(), "Quillet", type);
}

std::string FailureMessage(const RenamePlan& plan, const BatchEnd& end) {
  std::string why = FaultText(end.Fault, end.Party);
  if (end.Fault == RenameFault::SystemRefused && end.Error != 0)
    if (std::string words = platform::ErrorText(end.Error); !words.empty()) why = std::move(words);
  return "\"" + plan.OldNames[end.At] + "\"" + "のリネームに失敗しました。\n" + why;
}

std::string StopQuestion(const RenamePlan& plan, const ForecastStop& stop) {
  return StopSentences(plan, stop) + "\n\nその前の" + std::to_string(stop.Renamed) +
         "個のファイルだけをリネームしますか？";
}

std::string NothingBeforeStop(const RenamePlan& plan, const ForecastStop& stop) {
  return StopSentences(plan, stop) + "\n\nその前にリネームできるファイルはありません。";
}

}  // namespace quillet::ui
