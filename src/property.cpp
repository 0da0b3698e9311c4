#include <algorithm>
#include <memory>
#include <regex>
#include <sstream>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/property.hpp>

namespace quillon_tests {

namespace {
thread_local const rc::detail::Configuration* scopedConfiguration = nullptr;

/// The inputs noted by the case running on this thread, while a check runs it.
thread_local std::vector<NotedInput>* currentNotes = nullptr;

std::string countBytes(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

std::string hexOf(quillon::ByteView bytes) {
  std::ostringstream text;
  text << quillon::ByteString(bytes);
  return text.str();
}

// Bytes shown whole on a detail line, and in a report's first line.
constexpr std::size_t detailBytes = 48;
constexpr std::size_t summaryBytes = 8;
}  // namespace

void noteInput(NotedInput input) {
  if (currentNotes != nullptr) currentNotes->push_back(std::move(input));
}

void noteBytes(std::string role, quillon::ByteView bytes) {
  if (currentNotes == nullptr) return;
  const std::string count = " (" + countBytes(bytes.size()) + ")";
  // The first line shows a long value by its first three bytes and its last.
  const std::string brief = bytes.size() <= summaryBytes
                                ? hexOf(bytes)
                                : hexOf(bytes.first(3)) + "..." + hexOf(bytes.last(1));
  const std::string whole = bytes.size() <= detailBytes ? hexOf(bytes) : hexOf(bytes.first(detailBytes)) + "...";
  std::string summary = role + (bytes.empty() ? "" : " " + brief) + count;
  noteInput({std::move(role), std::move(summary), bytes.empty() ? count.substr(1) : whole + count});
}

namespace {
template <class Message>
void noteMessageOf(std::string role, const Message& message) {
  if (currentNotes == nullptr) return;
  std::ostringstream shown;
  quillon::showValue(message, shown);
  std::string summary = role + " of " + describeShape(message);
  noteInput({std::move(role), std::move(summary), shown.str()});
}
}  // namespace

void noteMessage(std::string role, const quillon::ByteString& message) {
  noteMessageOf(std::move(role), message);
}
void noteMessage(std::string role, const quillon::LazyByteString& message) {
  noteMessageOf(std::move(role), message);
}

void noteValue(std::string role, std::string text) {
  if (currentNotes == nullptr) return;
  std::string summary = role + " " + text;
  noteInput({std::move(role), std::move(summary), std::move(text)});
}

struct ScopedPropertyParams::Scope {
  rc::detail::Configuration configuration;
  const rc::detail::Configuration* previous;
};

ScopedPropertyParams::ScopedPropertyParams(const std::string& rcParams)
    : scope_(new Scope{rc::detail::configFromString(rcParams, rc::detail::configuration()), scopedConfiguration}) {
  scopedConfiguration = &scope_->configuration;
}

ScopedPropertyParams::~ScopedPropertyParams() { scopedConfiguration = scope_->previous; }

namespace detail {

namespace {

using Case = rc::Shrinkable<rc::detail::CaseDescription>;

/// The shrinking of the one failing case of a run (the engine shrinks
/// nothing else), counted against its limits.
struct ShrinkBudget {
  detail::ShrinkLimits limits;
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

/// Marks an example entry as a noted input: the role and the summary in
/// the name, the detail as the value.
constexpr char noteMark = '\x1f';

/// The case's description, whose example, when asked for (the engine asks
/// only for the case it reports), runs the case again to collect the inputs
/// it notes: passing cases pay nothing for the notes. A case that notes
/// nothing keeps the engine's example.
rc::detail::CaseDescription runNoting(const Case& inner) {
  rc::detail::CaseDescription description = inner.value();
  description.example = [inner, engine = description.example] {
    std::vector<NotedInput> notes;
    std::vector<NotedInput>* const outer = currentNotes;
    currentNotes = &notes;
    try {
      inner.value();
    } catch (...) {
      currentNotes = outer;
      throw;
    }
    currentNotes = outer;
    if (notes.empty()) return engine ? engine() : rc::detail::Example();
    rc::detail::Example example;
    for (NotedInput& note : notes)
      example.emplace_back(noteMark + note.role + noteMark + note.summary, std::move(note.detail));
    return example;
  };
  return description;
}

Case bounded(Case inner, const std::shared_ptr<ShrinkBudget>& budget, bool root) {
  return rc::shrinkable::lambda([inner] { return runNoting(inner); },
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
constexpr std::size_t maxHeadlineText = 300;

std::string clipped(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  const std::size_t cut = text.size() - limit;
  text.resize(limit);
  return text + "... (" + std::to_string(cut) + " more characters)";
}

/// The case's first line and the lines that show its inputs: the noted
/// inputs by role, else the engine's arguments (byte strings summed up by
/// their shapes).
std::pair<std::string, std::string> describeCase(const rc::detail::Example& example) {
  static const std::regex shape(R"(\b\d+ bytes?( in chunks \[[^\]]*\])?(?=: ))");
  std::vector<std::pair<std::string, std::string>> lines;  // label, value
  std::vector<std::string> summaries;
  for (const auto& [name, value] : example) {
    if (!name.empty() && name.front() == noteMark) {
      const std::size_t mark = name.find(noteMark, 1);
      lines.emplace_back(name.substr(1, mark - 1), value);
      if (mark + 1 < name.size()) summaries.push_back(name.substr(mark + 1));
      continue;
    }
    // The engine shows the arguments together as one tuple.
    lines.emplace_back(name.starts_with("std::tuple<") ? "arguments" : name, value);
    for (std::sregex_iterator it(value.begin(), value.end(), shape), end; it != end; ++it)
      summaries.push_back(it->str());
  }
  if (summaries.empty() && !lines.empty()) summaries.push_back(clipped(lines.front().second, 80));
  std::string headline;
  for (const std::string& summary : summaries) headline += (headline.empty() ? "" : "; ") + summary;
  if (headline.empty()) headline = "no inputs";
  std::size_t width = 0;
  for (const auto& line : lines) width = std::max(width, line.first.size());
  std::string shown;
  for (const auto& [label, value] : lines)
    shown += "  " + label + ":" + std::string(width - label.size() + 1, ' ') + value + "\n";
  return {headline, clipped(std::move(shown), maxCounterexampleText)};
}

std::string failureReport(const rc::detail::FailureResult& failure, const ShrinkBudget& budget,
                          const std::string& id, bool replayed) {
  const auto [headline, shown] = describeCase(failure.counterExample);
  std::ostringstream text;
  text << "smallest failing case: " << clipped(headline, maxHeadlineText) << '\n'
       << shown << '\n' << clipped(failure.description, maxDescriptionText) << "\n\n";
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
  text << reproduceLinePrefix << rc::detail::configToMinimalString(replay) << '"';
  return text.str();
}

// Values up to this many bytes are shown whole; longer ones from their
// first difference on, this many bytes of each.
constexpr std::size_t wholeValueBytes = 32;
constexpr std::size_t differenceWindow = 16;

}  // namespace

std::string withRerunCommand(std::string report, std::string_view command) {
  const std::size_t line = report.rfind(reproduceLinePrefix);
  if (line == std::string::npos || (line > 0 && report[line - 1] != '\n')) return report;
  const std::size_t valueEnd = report.find('"', line + reproduceLinePrefix.size());
  if (valueEnd == std::string::npos) return report;
  // The setting itself, RC_PARAMS="...", as the prefix ends with its start.
  const std::size_t settingStart = line + reproduceLinePrefix.find("RC_PARAMS=");
  const std::string setting = report.substr(settingStart, valueEnd + 1 - settingStart);
  report.replace(line, valueEnd + 1 - line, "to rerun this case: " + setting + " " + std::string(command));
  return report;
}

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
