#include "ui/Messages.h"

#include "core/PreviewModel.h"
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
  return std::to_string(stop.Index + 1) + "行目の「" + Shortened(plan.OldNames[stop.Index]) +
         "」でリネームが止まります。\n" + ShortFaultText(stop.Fault, stop.Party);
}

// What a batch that ended early left behind it, when it left nothing.
constexpr std::string_view kNoneRenamed = "リネームしたファイルはありません。";

}  // namespace

std::string Grouped(std::size_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

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
  std::string why = ShortFaultText(end.Fault, end.Party);
  if (end.Fault == RenameFault::SystemRefused && end.Error != 0)
    if (std::string words = platform::ErrorText(end.Error); !words.empty()) why = std::move(words);
  const std::string done =
      end.Renamed == 0 ? std::string(kNoneRenamed) : "それまでの" + Grouped(end.Renamed) + "個はリネーム済みです。";
  return "\"" + plan.OldNames[end.At] + "\"" + "のリネームに失敗しました。\n" + why + "\n\n" + done;
}

std::string StoppedMessage(const BatchEnd& end) {
  if (end.Renamed == 0) return "中止しました。\n" + std::string(kNoneRenamed);
  return "中止しました。\n" + Grouped(end.Renamed) + "個のファイルをリネームしました。\n残りはそのままです。";
}

std::string StopQuestion(const RenamePlan& plan, const ForecastStop& stop) {
  return StopSentences(plan, stop) + "\n\nその前の" + Grouped(stop.Renamed) +
         "個のファイルだけをリネームしますか？";
}

std::string ShortFaultText(RenameFault fault, FaultParty party) {
  return FaultText(fault, FittedParty(std::move(party), Shortened));
}

std::string NothingBeforeStop(const RenamePlan& plan, const ForecastStop& stop) {
  return StopSentences(plan, stop) + "\n\nその前にリネームできるファイルはありません。";
}

}  // namespace quillet::ui
