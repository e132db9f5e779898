// Writing one key of a service node in the services file's value forms.
#ifndef KESTRINE_REPOSITORY_NODE_VALUES_H
#define KESTRINE_REPOSITORY_NODE_VALUES_H

namespace kestrine::node_values {

/// Each sets `key` of `node` and returns 0, or 1 for a null key or text or
/// when the tree refuses the key. Running out of memory throws: a save must
/// fail as a whole then, not take it for a refused key.
int WriteText(void* node, const char* key, const char* value);
int WriteBool(void* node, const char* key, bool value);
int WriteInt(void* node, const char* key, int value);
/// A time without a local form is written as the empty text, which reads
/// back as 0.
int WriteTime(void* node, const char* key, long value);

}  // namespace kestrine::node_values

#endif  // KESTRINE_REPOSITORY_NODE_VALUES_H
