// The repository's value readers and writers: the codecs applied to one
// service node's keys.
#include "repository/node_values.h"

#include <string>

#include "kestrine/service_repository_light.h"
#include "kestrine/status.h"
#include "repository/guarded.h"
#include "repository/value_codecs.h"
#include "repository/vask_ini_tree.h"

namespace kestrine::node_values {

int WriteText(void* node, const char* key, const char* value) {
  if (key == nullptr || value == nullptr) return kestrine::kFailure;
  return vaskinitreenode_set_attrib(node, key, value) == 0 ? kestrine::kOk : kestrine::kFailure;
}

int WriteBool(void* node, const char* key, bool value) {
  return WriteText(node, key, codecs::EncodeBool(value));
}

int WriteInt(void* node, const char* key, int value) {
  return WriteText(node, key, codecs::EncodeInt(value).c_str());
}

int WriteTime(void* node, const char* key, long value) {
  return WriteText(node, key, codecs::EncodeTime(value).c_str());
}

}  // namespace kestrine::node_values

namespace values = kestrine::node_values;

int CServiceRepositoryLight::String2Time(std::string text, long* out) const {
  if (out == nullptr) return kestrine::kFailure;
  *out = kestrine::codecs::DecodeTime(text);
  return kestrine::kOk;
}

int CServiceRepositoryLight::String2IntValue(std::string text, int* out) const {
  if (out == nullptr) return kestrine::kFailure;
  *out = kestrine::codecs::DecodeInt(text);
  return kestrine::kOk;
}

int CServiceRepositoryLight::Write_StringValue2IniFile(void* node, const char* key,
                                                       const char* value) const {
  return kestrine::Guarded([&] { return values::WriteText(node, key, value); });
}

int CServiceRepositoryLight::Write_BoolValue2IniFile(void* node, const char* key,
                                                     bool value) const {
  return kestrine::Guarded([&] { return values::WriteBool(node, key, value); });
}

int CServiceRepositoryLight::Write_IntValue2IniFile(void* node, const char* key, int value) const {
  return kestrine::Guarded([&] { return values::WriteInt(node, key, value); });
}

int CServiceRepositoryLight::Write_TimeValue2IniFile(void* node, const char* key,
                                                     long value) const {
  return kestrine::Guarded([&] { return values::WriteTime(node, key, value); });
}
