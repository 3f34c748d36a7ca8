#include "ui/Messages.h"

#include <array>
#include <vector>

#include "core/PreviewModel.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "ui/Window.h"

namespace quillet::ui {
namespace {

// The widest a name may be drawn in a message, at 96 DPI: a sentence with a
// name or two stays well inside what the box takes on one line.
constexpr int kNameWidth = 240;

// The widest line a message box shows whole, at 96 DPI. Wine lays the text
// out in its box's fixed template, some 300 pixels wide, and breaks a longer
// line wherever it runs out, inside a word too; Windows gives more room.
constexpr int kBoxLineWidth = 290;

// The particles that stay with the name before them, longest first.
constexpr std::array<std::string_view, 9> kParticles = {"には", "では", "が", "は", "に", "で", "と", "の", "を"};

// Where a line of ours may break, as a phrase ends: before 「, after 」 or
// ） with the particle that follows, after 、.
std::vector<std::size_t> PhraseEnds(std::string_view line) {
  std::vector<std::size_t> ends;
  const platform::CharSteps steps(line);
  for (std::size_t i = 0, next = 0; i < line.size(); i = next) {
    next = steps.Next(i);
    const std::string_view c = line.substr(i, next - i);
    std::size_t end = 0;
    if (c == "「") end = i;
    else if (c == "、") end = next;
    else if (c == "」" || c == "）") {
      end = next;
      for (std::string_view particle : kParticles)
        if (line.substr(next).starts_with(particle)) {
          end += particle.size();
          break;
        }
    }
    if (end > 0 && end < line.size()) ends.push_back(end);
  }
  return ends;
}

// The line broken where phrases end, so that each piece is as wide as the
// box shows whole; a phrase wider than that on its own stays whole.
std::string FitLine(std::string_view line, HDC dc, int width) {
  const auto fits = [&](std::string_view text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx <= width;
  };
  std::string fitted;
  while (!fits(line)) {
    const std::vector<std::size_t> ends = PhraseEnds(line);
    if (ends.empty()) break;
    std::size_t cut = ends.front();
    for (std::size_t end : ends)
      if (fits(line.substr(0, end))) cut = end;
    fitted += std::string(line.substr(0, cut)) + "\n";
    line.remove_prefix(cut);
  }
  return fitted + std::string(line);
}

// The message's font, as the system gives it to message boxes.
Font MessageFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return Font(CreateFontIndirectA(&metrics.lfMessageFont));
}

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

std::string Shortened(std::string_view name) { return MiddleEllipsis(name, MessageFont(), Scale(kNameWidth)); }

std::string FittedToBox(std::string_view text) {
  const Font font = MessageFont();
  const FontDC dc(nullptr, font);
  std::string fitted;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (start > 0) fitted += '\n';
    fitted += FitLine(text.substr(start, end - start), dc.Get(), Scale(kBoxLineWidth));
    start = end + 1;
  }
  return fitted;
}

int ShowMessageBox(HWND owner, const std::string& text, UINT type) {
  return MessageBoxA(owner, FittedToBox(text).c_str(), "Quillet", type);
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
