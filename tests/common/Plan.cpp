#include "tests/common/Plan.h"

#include <algorithm>
#include <utility>

#include "core/NameRules.h"

namespace quillet::test {

RenamePlan PlanIn(const std::string& dir, Names oldNames, Names newNames) {
  RenamePlan plan;
  plan.EntryDir = dir;
  plan.Addressable.assign(oldNames.size(), true);
  plan.OldNames = std::move(oldNames);
  plan.NewNames = std::move(newNames);
  return plan;
}

Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

Names NamesAfter(Names names, const RenamePlan& plan, std::size_t stop) {
  for (std::size_t i = 0; i < stop && i < plan.Count(); ++i) {
    const std::string& oldName = plan.OldNames[i];
    const std::string stored(StoredName(plan.NewNames[i]));
    if (plan.NewNames[i] == oldName || KindOf(oldName, stored) == RenameKind::Nothing) continue;
    auto it = std::find(names.begin(), names.end(), oldName);
    if (it == names.end()) continue;
    *it = stored;
  }
  return names;
}

std::optional<std::size_t> FailedLine(const RenamePlan& plan) {
  const BatchEnd end = RenameFiles(plan, nullptr);
  return end.How == BatchEnd::Failed ? std::optional<std::size_t>(end.At) : std::nullopt;
}

std::optional<ForecastStop> ForecastStopOf(const RenamePlan& plan) {
  RenameForecast forecast;
  forecast.Start(plan);
  while (!forecast.Advance(8)) {
  }
  return Where(forecast.Stop());
}

}  // namespace quillet::test
