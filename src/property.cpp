#include <algorithm>
#include <memory>
#include <regex>
#include <sstream>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/property.hpp>

namespace quillon_tests {

namespace {
thread_local const rc::detail::Configuration* scopedConfiguration = nullptr;
}  // namespace

ScopedPropertyParams::ScopedPropertyParams(const std::string& rcParams)
    : configuration_(rc::detail::configFromString(rcParams, rc::detail::configuration())),
      previous_(scopedConfiguration) {
  scopedConfiguration = &configuration_;
}

ScopedPropertyParams::~ScopedPropertyParams() { scopedConfiguration = previous_; }

namespace detail {

namespace {

using Case = rc::Shrinkable<rc::detail::CaseDescription>;

/// The shrinking of the one failing case of a run (the engine shrinks
/// nothing else), counted against its limits.
struct ShrinkBudget {
  ShrinkLimits limits;
  std::size_t steps = 0;  // nodes below the root whose shrinks were asked for: accepted cases
  std::size_t tries = 0;  // candidates handed out
  bool stoppedEarly = false;
};

Case bounded(Case inner, const std::shared_ptr<ShrinkBudget>& budget, bool root);

/// The candidates of `inner`, each bounded in turn, until the tries run out.
class BoundedShrinks {
 public:
  BoundedShrinks(rc::Seq<Case> inner, std::shared_ptr<ShrinkBudget> budget)
      : inner_(std::move(inner)), budget_(std::move(budget)) {}

  rc::Maybe<Case> operator()() {
    rc::Maybe<Case> next = inner_.next();
    if (!next) return rc::Nothing;
    if (budget_->tries >= budget_->limits.maxTries) {
      budget_->stoppedEarly = true;
      return rc::Nothing;
    }
    ++budget_->tries;
    return bounded(std::move(*next), budget_, false);
  }

 private:
  rc::Seq<Case> inner_;
  std::shared_ptr<ShrinkBudget> budget_;
};

Case bounded(Case inner, const std::shared_ptr<ShrinkBudget>& budget, bool root) {
  return rc::shrinkable::lambda([inner] { return inner.value(); },
                                [inner, budget, root] {
                                  rc::Seq<Case> shrinks = inner.shrinks();
                                  // The engine asks a case for its shrinks once it has
                                  // accepted it: one more step.
                                  const bool atLimit =
                                      root ? budget->limits.maxSteps == 0
                                           : ++budget->steps >= budget->limits.maxSteps;
                                  if (atLimit) {
                                    if (shrinks.next()) budget->stoppedEarly = true;
                                    return rc::Seq<Case>();
                                  }
                                  return rc::Seq<Case>(BoundedShrinks(std::move(shrinks), budget));
                                });
}

/// The engine reports through its listener; the report here is built from
/// the result alone.
class QuietListener : public rc::detail::TestListener {
 public:
  void onTestCaseFinished(const rc::detail::CaseDescription&) override {}
  void onShrinkTried(const rc::detail::CaseDescription&, bool) override {}
  void onTestFinished(const rc::detail::TestMetadata&, const rc::detail::TestResult&) override {}
};

// Parts of a failure report are cut to these lengths, so that the whole
// stays under 4,000 characters whatever the inputs and messages.
constexpr std::size_t maxCounterexampleText = 1200;
constexpr std::size_t maxDescriptionText = 1500;

std::string clipped(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  const std::size_t cut = text.size() - limit;
  text.resize(limit);
  return text + "... (" + std::to_string(cut) + " more characters)";
}

/// The shape of the last byte string in a shown counterexample: the
/// argument that carries the message, by the suites' convention.
std::string lastByteStringShape(const std::string& shown) {
  static const std::regex shape(R"(\b\d+ bytes?( in chunks \[[^\]]*\])?(?=: ))");
  std::string last;
  for (std::sregex_iterator it(shown.begin(), shown.end(), shape), end; it != end; ++it)
    last = it->str();
  return last;
}

std::string failureReport(const rc::detail::FailureResult& failure, const ShrinkBudget& budget,
                          const std::string& id, bool replayed) {
  std::string shown;
  for (const auto& [type, value] : failure.counterExample) shown += type + ":\n" + value + "\n";
  shown = clipped(std::move(shown), maxCounterexampleText);

  std::ostringstream text;
  text << "smallest failing case:";
  if (const std::string shape = lastByteStringShape(shown); !shape.empty()) text << ' ' << shape;
  text << '\n' << shown << '\n' << clipped(failure.description, maxDescriptionText) << "\n\n";
  text << "Falsifiable after " << failure.numSuccess + 1
       << (failure.numSuccess == 0 ? " test; " : " tests; ");

  const std::size_t steps = failure.reproduce.shrinkPath.size();
  const char* stepWord = steps == 1 ? " step" : " steps";
  if (replayed) {
    text << "replayed " << steps << " shrink" << stepWord << '\n';
  } else {
    text << "shrunk in " << steps << stepWord << " (" << budget.tries
         << (budget.tries == 1 ? " candidate" : " candidates") << " tried)";
    if (budget.stoppedEarly)
      text << "; shrinking stopped early at its limit of " << budget.limits.maxSteps
           << " steps or " << budget.limits.maxTries
           << " candidates, so a smaller failing case may exist";
    text << '\n';
  }

  // RapidCheck replays a recorded case by test id; this is the setting
  // that replays exactly this case (with the same runner and id).
  rc::detail::Configuration replay;
  replay.reproduce[id] = failure.reproduce;
  text << "to reproduce this case: RC_PARAMS=\"" << rc::detail::configToMinimalString(replay) << '"';
  return text.str();
}

// Values up to this many bytes are shown whole; longer ones from their
// first difference on, this many bytes of each.
constexpr std::size_t wholeValueBytes = 32;
constexpr std::size_t differenceWindow = 16;

}  // namespace

std::string describeDifference(const std::string& aName, quillon::ByteView a,
                               const std::string& bName, quillon::ByteView b) {
  const std::size_t width = std::max(aName.size(), bName.size());
  auto line = [width](std::ostream& os, const std::string& name, quillon::ByteView bytes) {
    os << "  " << name << ':' << std::string(width - name.size() + 1, ' ')
       << quillon::ByteString(bytes) << '\n';
  };
  std::ostringstream text;
  if (a.size() <= wholeValueBytes && b.size() <= wholeValueBytes) {
    line(text, aName, a);
    line(text, bName, b);
    return text.str();
  }
  const ByteDifference difference = findByteDifference(b, a);  // b is the reference
  text << "  " << describeByteMismatch(b, a);
  const std::size_t at = difference.offset;
  text << "  from byte " << at << ":\n";
  line(text, aName, a.subspan(at, std::min(differenceWindow, a.size() - at)));
  line(text, bName, b.subspan(at, std::min(differenceWindow, b.size() - at)));
  return text.str();
}

PropertyReport checkRapidCheckProperty(const rc::detail::Property& property,
                                       const std::string& id) {
  return checkRapidCheckProperty(
      property, id, scopedConfiguration ? *scopedConfiguration : rc::detail::configuration(),
      ShrinkLimits{});
}

PropertyReport checkRapidCheckProperty(const rc::detail::Property& property,
                                       const std::string& id,
                                       const rc::detail::Configuration& configuration,
                                       const ShrinkLimits& limits) {
  rc::detail::TestMetadata metadata;
  metadata.id = id;
  metadata.description = id;
  auto budget = std::make_shared<ShrinkBudget>();
  budget->limits = limits;
  const rc::detail::Property boundedProperty(
      [property, budget](const rc::Random& random, int size) {
        return bounded(property(random, size), budget, true);
      });
  QuietListener listener;
  const rc::detail::TestResult result = rc::detail::checkProperty(
      boundedProperty, metadata, configuration.testParams, listener, configuration.reproduce);

  PropertyReport report;
  if (rc::detail::FailureResult failure; result.match(failure)) {
    report.verdict = PropertyVerdict::failed;
    report.text = failureReport(failure, *budget, id, configuration.reproduce.count(id) > 0);
    return report;
  }
  if (result.is<rc::detail::SuccessResult>()) {
    report.verdict = PropertyVerdict::passed;
  } else if (result.is<rc::detail::GaveUpResult>()) {
    report.verdict = PropertyVerdict::gaveUp;
  } else {
    report.verdict = PropertyVerdict::error;
  }
  std::ostringstream text;
  rc::detail::printResultMessage(result, text);
  report.text = text.str();
  return report;
}

}  // namespace detail

}  // namespace quillon_tests
