#include "readers.h"

#include <ini.h>

#include <cstring>
#include <stdexcept>

#include "ini/file.h"
#include "ini/stream_reader.h"

namespace kestrine_bench {

void ConfigureInih() {
  ini_allow_multiline = false;
  ini_allow_inline_comments = false;
  ini_use_stack = false;
  ini_allow_realloc = true;
  ini_initial_alloc = 4096;
  ini_max_line = 1 << 24;
  ini_stop_on_first_error = false;
}

int CountPair(void* user, const char* /*section*/, const char* name, const char* value) {
  auto* count = static_cast<InihCount*>(user);
  ++count->pairs;
  count->textBytes += std::strlen(name) + std::strlen(value);
  return 1;
}

StreamCount StreamEvents(const std::string& path) {
  using Event = kestrine::ini::StreamReader::Event;
  kestrine::ini::FileSource file;
  if (!file.Open(path, nullptr)) throw std::runtime_error("cannot open " + path);
  kestrine::ini::StreamReader reader(&file);
  StreamCount count;
  for (;;) {
    switch (reader.Next()) {
      case Event::kNode:
        ++count.events;
        break;
      case Event::kAttribute:
        ++count.events;
        count.textBytes += reader.key().size() + reader.value().size();
        break;
      case Event::kEnd:
        return count;
      case Event::kError:
        throw std::runtime_error("the streaming reader refuses " + path);
    }
  }
}

}  // namespace kestrine_bench
