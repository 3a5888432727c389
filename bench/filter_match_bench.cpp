// One incoming message against the black list and the user filters, the way the main window
// handles it while the rule-client library waits: black list first, then the filter choice. No
// filter and no entry matches, so every one of them is looked at. Heap allocations made during
// the timed loop are counted through the global operator new and reported per message; matching
// is meant to make none.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "filter/filter_matcher.h"
#include "filter/rule_set.h"

namespace {

size_t allocations = 0;

}  // namespace

// Kept out of line so that the compiler does not pair an inlined malloc with the free of another
// replacement and warn about a mismatch that is none.
[[gnu::noinline]] void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  std::abort();
}
[[gnu::noinline]] void* operator new[](std::size_t size) { return operator new(size); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace brevalo;

std::u16string Number(int i) {
  std::u16string digits;
  for (char c : std::to_string(i)) digits += static_cast<char16_t>(c);
  return digits;
}

// Filters of four kinds, each failing on its first or second condition, and now and then a
// disabled catch-all, so that all judges and both subjects are exercised.
RuleSet MakeRules(int count) {
  RuleSet rules;
  for (int i = 0; i < count; ++i) {
    auto filter = std::make_unique<Filter>();
    filter->name = u"Filter " + Number(i);
    auto& rule1 = filter->conditions[0];
    auto& rule2 = filter->conditions[1];
    switch (i % 4) {
      case 0: rule1 = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"Nobody " + Number(i)}; break;
      case 1: rule1 = FilterCondition{OBJECT_BODY, JUDGE_EXCLUDE, u"see you"}; break;
      case 2: rule1 = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"1?0" + Number(i)}; break;
      default:
        rule1 = FilterCondition{OBJECT_BODY, JUDGE_NOT_EQUAL, u"never"};
        rule2 = FilterCondition{OBJECT_BODY, JUDGE_EQUAL, u"end " + Number(i)};
        break;
    }
    if (i % 10 == 9) {
      filter->enabled = 0;
      filter->applyToAll = 1;
    }
    filter->SetDefaultContent();
    rules.filters.push_back(std::move(filter));
    rules.blackList.push_back({u"Spam " + Number(i), u"55?0" + Number(i)});
  }
  rules.contactDefault.SetDefaultContent();
  rules.strangerDefault.SetDefaultContent();
  return rules;
}

void BM_MatchOneMessage(benchmark::State& state) {
  const size_t beforeSetup = allocations;
  const RuleSet rules = MakeRules(static_cast<int>(state.range(0)));
  if (allocations == beforeSetup) state.SkipWithError("the allocation counter sees nothing");
  const std::u16string sender = u"\"Ann Lee\" <+86 138-0013-8000>";
  std::u16string text = u"Hi, the meeting moved to three o'clock, see you in room 4. ";
  while (text.size() < 150) text += u"More words. ";
  const IncomingSms message{sender, text};

  const size_t before = allocations;
  for (auto _ : state) {
    const bool listed = IsBlackListed(rules, message);
    benchmark::DoNotOptimize(listed);
    const Filter& chosen = MatchFilter(rules, message);
    benchmark::DoNotOptimize(&chosen);
  }
  const size_t made = allocations - before;
  if (&MatchFilter(rules, message) != &rules.contactDefault) state.SkipWithError("a filter took it");
  state.counters["allocs_per_match"] =
      benchmark::Counter(static_cast<double>(made) / static_cast<double>(state.iterations()));
  state.counters["filters"] = static_cast<double>(rules.filters.size());
  state.counters["black_list"] = static_cast<double>(rules.blackList.size());
}
BENCHMARK(BM_MatchOneMessage)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
