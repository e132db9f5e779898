#include "json_input.h"

#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

#include "command_error.h"
#include "display_text.h"

namespace kestrine::tool {
namespace {

using Json = nlohmann::json;

// Follows the parse, event by event: where it is, and the first key that an
// object repeats.
class Place {
 public:
  bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
      case Json::parse_event_t::array_start:
        Element();
        frames_.push_back(Frame{event == Json::parse_event_t::object_start, {}, {}, 0});
        break;
      case Json::parse_event_t::key: {
        Frame& frame = frames_.back();
        frame.key = parsed.get<std::string>();
        if (!frame.keys.insert(frame.key).second && !repeated_) {
          repeated_ = Where(false) + ": key " + Quoted(frame.key) + " appears twice in one object";
        }
        break;
      }
      case Json::parse_event_t::value:
        Element();
        break;
      case Json::parse_event_t::object_end:
      case Json::parse_event_t::array_end:
        frames_.pop_back();
        break;
    }
    return true;
  }

  // ": record N" and the keys down to where the parse is: with `inner`, to
  // the value being read; else to the innermost object.
  std::string Where(bool inner) const {
    std::string where;
    bool first_key = true;
    for (std::size_t i = 0; i < frames_.size(); ++i) {
      const Frame& frame = frames_[i];
      if (!frame.object) {
        // With `inner`, the value being read is not counted yet.
        const std::size_t n = frame.elements + (inner && i + 1 == frames_.size() ? 1 : 0);
        where += (i == 0 ? ": record " : " element ") + std::to_string(n);
      } else if ((inner || i + 1 < frames_.size()) && !frame.keys.empty()) {
        where += first_key ? ": " + OneLine(frame.key) : " " + Quoted(frame.key);
        first_key = false;
      }
    }
    return where;
  }

  const std::optional<std::string>& repeated() const { return repeated_; }

 private:
  struct Frame {
    bool object;
    std::unordered_set<std::string> keys;
    std::string key;  // the last key read
    std::size_t elements;
  };

  void Element() {
    if (!frames_.empty() && !frames_.back().object) ++frames_.back().elements;
  }

  std::vector<Frame> frames_;
  std::optional<std::string> repeated_;
};

}  // namespace

Json ParseJsonInput(const std::string& text, const std::string& label) {
  Place place;
  Json parsed;
  try {
    parsed = Json::parse(text, std::ref(place));
  } catch (const Json::parse_error& error) {
    throw CommandError(kExitFailure, label + " is not JSON: " + OneLine(error.what()));
  } catch (const Json::out_of_range&) {
    // The lexer's own message names only the text of the number.
    throw CommandError(kExitFailure,
                       label + place.Where(true) + " is a number out of range (beyond a double's)");
  }
  if (place.repeated()) throw CommandError(kExitFailure, label + *place.repeated());
  return parsed;
}

}  // namespace kestrine::tool
