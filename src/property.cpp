#include <sstream>
#include <quillon_tests/property.hpp>

namespace quillon_tests::detail {

PropertyReport checkRapidCheckProperty(const rc::detail::Property& property,
                                       const std::string& id) {
  rc::detail::TestMetadata metadata;
  metadata.id = id;
  metadata.description = id;
  const rc::detail::TestResult result = rc::detail::checkProperty(property, metadata);

  PropertyReport report;
  if (result.is<rc::detail::SuccessResult>()) {
    report.verdict = PropertyVerdict::passed;
  } else if (result.is<rc::detail::FailureResult>()) {
    report.verdict = PropertyVerdict::failed;
  } else if (result.is<rc::detail::GaveUpResult>()) {
    report.verdict = PropertyVerdict::gaveUp;
  } else {
    report.verdict = PropertyVerdict::error;
  }
  std::ostringstream text;
  rc::detail::printResultMessage(result, text);
  if (rc::detail::FailureResult failure; result.match(failure)) {
    // RapidCheck replays a recorded case by test id; this is the setting
    // that replays exactly this failure (with the same runner and id).
    rc::detail::Configuration replay;
    replay.reproduce[id] = failure.reproduce;
    text << "\nto reproduce this case: RC_PARAMS=\"" << rc::detail::configToMinimalString(replay)
         << '"';
  }
  report.text = text.str();
  return report;
}

}  // namespace quillon_tests::detail
