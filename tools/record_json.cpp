#include "record_json.h"

#include "local_time_text.h"

namespace kestrine::tool {
namespace {

class JsonBuilder : public FieldVisitor {
 public:
  explicit JsonBuilder(Secrets secrets) : secrets_(secrets) {}

  void Text(const char* field, const char* value) override { object_[field] = value; }
  void Secret(const char* field, const char* value) override {
    const bool hide = secrets_ == Secrets::kHide && *value != '\0';
    object_[field] = hide ? kHiddenSecret : value;
  }
  void Flag(const char* field, bool value) override { object_[field] = value; }
  void Number(const char* field, long value) override { object_[field] = value; }
  void Time(const char* field, long seconds) override {
    const auto local = IsoLocalTime(seconds);
    object_[field] = {
        {"local", local ? nlohmann::ordered_json(*local) : nlohmann::ordered_json(nullptr)},
        {"seconds", seconds}};
  }

  nlohmann::ordered_json Take() { return std::move(object_); }

 private:
  Secrets secrets_;
  nlohmann::ordered_json object_ = nlohmann::ordered_json::object();
};

}  // namespace

nlohmann::ordered_json RecordJson(const CService& record, Secrets secrets) {
  JsonBuilder builder(secrets);
  VisitFields(record, builder);
  return builder.Take();
}

void PrintJson(std::ostream& out, const nlohmann::ordered_json& value) {
  out << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

std::string JsonLine(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace kestrine::tool
