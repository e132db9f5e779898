// The repository's value readers and writers: the codecs applied to one
// service node's keys.
#include <string>

#include "kestrine/service_repository_light.h"
#include "repository/vask_ini_tree.h"
#include "repository/value_codecs.h"

int CServiceRepositoryLight::String2Time(std::string text, long* out) const {
  if (out == nullptr) return 1;
  *out = kestrine::codecs::DecodeTime(text);
  return 0;
}

int CServiceRepositoryLight::String2IntValue(std::string text, int* out) const {
  if (out == nullptr) return 1;
  *out = kestrine::codecs::DecodeInt(text);
  return 0;
}

int CServiceRepositoryLight::Write_StringValue2IniFile(void* node, const char* key,
                                                       const char* value) const {
  if (key == nullptr || value == nullptr) return 1;
  return vaskinitreenode_set_attrib(node, key, value) == 0 ? 0 : 1;
}

int CServiceRepositoryLight::Write_BoolValue2IniFile(void* node, const char* key,
                                                     bool value) const {
  if (key == nullptr) return 1;
  return Write_StringValue2IniFile(node, key, kestrine::codecs::EncodeBool(value));
}

int CServiceRepositoryLight::Write_IntValue2IniFile(void* node, const char* key, int value) const {
  if (key == nullptr) return 1;
  return Write_StringValue2IniFile(node, key, kestrine::codecs::EncodeInt(value).c_str());
}

int CServiceRepositoryLight::Write_TimeValue2IniFile(void* node, const char* key,
                                                     long value) const {
  if (key == nullptr) return 1;
  // A time without a local form is written as the empty text, which reads
  // back as 0.
  return Write_StringValue2IniFile(node, key, kestrine::codecs::EncodeTime(value).c_str());
}
