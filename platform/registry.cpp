#include "platform/registry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text.h"

// An open key: the full path of the key, from its root name.
struct HKEY__ {
  std::u16string path;
};

namespace {

struct Value {
  std::u16string name;
  DWORD type = REG_NONE;
  std::string bytes;
};

struct Key {
  std::u16string path;  // as first created, letter case kept
  std::vector<Value> values;
};

// Keys by their path folded to lower case, so that lookups ignore case.
using Tree = std::map<std::u16string, Key>;

constexpr char kHeader[] = "HARBOLT REGISTRY 1";

std::filesystem::path RegistryFile() {
  if (const char* set = std::getenv("HARBOLT_REGISTRY"); set && *set) return set;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : "/tmp") / ".harbolt" / "registry";
}

std::optional<std::u16string> RootName(HKEY key) {
  if (key == HKEY_CLASSES_ROOT) return u"HKEY_CLASSES_ROOT";
  if (key == HKEY_CURRENT_USER) return u"HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return u"HKEY_LOCAL_MACHINE";
  return std::nullopt;
}

bool IsRoot(HKEY key) { return RootName(key).has_value(); }

std::u16string KeyPath(HKEY key) { return IsRoot(key) ? *RootName(key) : key->path; }

// The path of subKey below key; nullopt for an invalid handle or name.
std::optional<std::u16string> Join(HKEY key, LPCWSTR subKey) {
  if (!key) return std::nullopt;
  std::u16string path = KeyPath(key);
  std::u16string_view rest = subKey ? subKey : u"";
  while (!rest.empty()) {
    size_t end = rest.find(u'\\');
    std::u16string_view part = rest.substr(0, end);
    if (!part.empty()) path += u"\\" + std::u16string(part);
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return path;
}

std::u16string Fold(std::u16string_view path) { return platform::AsciiLower(path); }

bool IsBelow(const std::u16string& folded, const std::u16string& parentFolded) {
  return folded.size() > parentFolded.size() + 1 && folded.starts_with(parentFolded) &&
         folded[parentFolded.size()] == u'\\';
}

// --- the file -------------------------------------------------------------

std::string Escape(std::u16string_view text) {
  std::string out;
  for (char c : platform::Utf16ToUtf8(text)) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

// Reads a quoted, escaped text starting at line[i] == '"'; i ends past it.
std::optional<std::u16string> Unescape(const std::string& line, size_t& i) {
  if (i >= line.size() || line[i] != '"') return std::nullopt;
  std::string out;
  for (++i; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      ++i;
      return platform::Utf8ToUtf16(out);
    }
    if (c == '\\' && i + 1 < line.size()) {
      char n = line[++i];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

bool IsText(const Value& v) {
  if (v.type != REG_SZ && v.type != REG_EXPAND_SZ) return false;
  if (v.bytes.size() < 2 || v.bytes.size() % 2) return false;
  std::u16string text(v.bytes.size() / 2, u'\0');
  std::memcpy(text.data(), v.bytes.data(), v.bytes.size());
  return text.back() == 0 && text.find(u'\0') == text.size() - 1;
}

std::string FormatData(const Value& v) {
  char buffer[16];
  if (IsText(v)) {
    std::u16string text(v.bytes.size() / 2 - 1, u'\0');
    std::memcpy(text.data(), v.bytes.data(), text.size() * 2);
    return (v.type == REG_SZ ? "sz:\"" : "expand:\"") + Escape(text) + "\"";
  }
  if (v.type == REG_DWORD && v.bytes.size() == 4) {
    uint32_t n = 0;
    std::memcpy(&n, v.bytes.data(), 4);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", n);
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "hex(%u):", v.type);
  std::string out = buffer;
  for (unsigned char c : v.bytes) {
    std::snprintf(buffer, sizeof buffer, "%02x", c);
    out += buffer;
  }
  return out;
}

std::optional<Value> ParseValue(const std::string& line) {
  Value v;
  size_t i = 0;
  if (line[0] == '@') {
    i = 1;
  } else {
    auto name = Unescape(line, i);
    if (!name) return std::nullopt;
    v.name = *name;
  }
  if (i >= line.size() || line[i] != '=') return std::nullopt;
  std::string data = line.substr(i + 1);
  auto text = [&v](DWORD type, const std::string& quoted) -> bool {
    size_t j = 0;
    auto t = Unescape(quoted, j);
    if (!t || j != quoted.size()) return false;
    v.type = type;
    t->push_back(u'\0');
    v.bytes.assign(reinterpret_cast<const char*>(t->data()), t->size() * 2);
    return true;
  };
  if (data.starts_with("sz:")) return text(REG_SZ, data.substr(3)) ? std::optional(v) : std::nullopt;
  if (data.starts_with("expand:")) {
    return text(REG_EXPAND_SZ, data.substr(7)) ? std::optional(v) : std::nullopt;
  }
  unsigned type = 0;
  uint32_t number = 0;
  if (std::sscanf(data.c_str(), "dword:%8x", &number) == 1) {
    v.type = REG_DWORD;
    v.bytes.assign(reinterpret_cast<const char*>(&number), 4);
    return v;
  }
  int used = 0;
  if (std::sscanf(data.c_str(), "hex(%u):%n", &type, &used) == 1 && used > 0) {
    v.type = type;
    std::string hex = data.substr(static_cast<size_t>(used));
    if (hex.size() % 2) return std::nullopt;
    for (size_t k = 0; k < hex.size(); k += 2) {
      unsigned byte = 0;
      if (std::sscanf(hex.c_str() + k, "%2x", &byte) != 1) return std::nullopt;
      v.bytes.push_back(static_cast<char>(byte));
    }
    return v;
  }
  return std::nullopt;
}

// Loads the tree; nullopt when the file exists but is not a registry file.
std::optional<Tree> Load() {
  Tree tree;
  std::ifstream in(RegistryFile(), std::ios::binary);
  if (!in) return tree;  // no file yet: an empty registry
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return std::nullopt;
  Key* current = nullptr;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      std::u16string path = platform::Utf8ToUtf16(line.substr(1, line.size() - 2));
      current = &tree[Fold(path)];
      current->path = path;
      continue;
    }
    auto value = current ? ParseValue(line) : std::nullopt;
    if (!value) return std::nullopt;
    current->values.push_back(*value);
  }
  return tree;
}

bool Save(const Tree& tree) {
  std::filesystem::path file = RegistryFile();
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  std::filesystem::path temp = file;
  temp += ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << kHeader << "\n";
    for (const auto& [folded, key] : tree) {
      out << "[" << platform::Utf16ToUtf8(key.path) << "]\n";
      for (const Value& v : key.values) {
        out << (v.name.empty() ? std::string("@") : "\"" + Escape(v.name) + "\"") << "="
            << FormatData(v) << "\n";
      }
    }
    if (!out.flush()) return false;
  }
  std::filesystem::rename(temp, file, ignored);
  return !ignored;
}

bool KeyExists(const Tree& tree, const std::u16string& path) {
  return tree.count(Fold(path)) > 0 || path.find(u'\\') == std::u16string::npos;
}

// Runs change on the loaded tree and saves it when change succeeded.
template <typename Change>
LSTATUS Modify(Change change) {
  std::optional<Tree> tree = Load();
  if (!tree) return ERROR_BADDB;
  LSTATUS status = change(*tree);
  if (status == ERROR_SUCCESS && !Save(*tree)) return ERROR_WRITE_FAULT;
  return status;
}

HKEY NewHandle(const std::u16string& path) { return new HKEY__{path}; }

Value* FindValue(Key& key, LPCWSTR name) {
  std::u16string wanted = Fold(name ? name : u"");
  for (Value& v : key.values) {
    if (Fold(v.name) == wanted) return &v;
  }
  return nullptr;
}

}  // namespace

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*,
                        HKEY* result, DWORD* disposition) {
  std::optional<std::u16string> path = Join(key, subKey);
  if (!path || !result) return ERROR_INVALID_PARAMETER;
  LSTATUS status = Modify([&](Tree& tree) -> LSTATUS {
    if (!KeyExists(tree, KeyPath(key))) return ERROR_FILE_NOT_FOUND;
    bool created = false;
    // Create every missing key from the root down.
    for (size_t end = path->find(u'\\'); end != std::u16string::npos;
         end = path->find(u'\\', end + 1)) {
      size_t next = path->find(u'\\', end + 1);
      std::u16string prefix = path->substr(0, next);
      auto [it, inserted] = tree.try_emplace(Fold(prefix), Key{prefix, {}});
      created = inserted;
    }
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  });
  if (status == ERROR_SUCCESS) *result = NewHandle(*path);
  return status;
}

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, HKEY* result) {
  std::optional<std::u16string> path = Join(key, subKey);
  if (!path || !result) return ERROR_INVALID_PARAMETER;
  std::optional<Tree> tree = Load();
  if (!tree) return ERROR_BADDB;
  if (!KeyExists(*tree, *path)) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(*path);
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  if (!key) return ERROR_INVALID_HANDLE;
  if (!IsRoot(key)) delete key;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD bytes) {
  if (!key || (!data && bytes)) return ERROR_INVALID_PARAMETER;
  std::u16string path = KeyPath(key);
  return Modify([&](Tree& tree) -> LSTATUS {
    auto it = tree.find(Fold(path));
    if (it == tree.end()) return ERROR_FILE_NOT_FOUND;
    Value* value = FindValue(it->second, name);
    if (!value) {
      it->second.values.push_back(Value{name ? name : u"", type, {}});
      value = &it->second.values.back();
    }
    value->type = type;
    value->bytes.assign(reinterpret_cast<const char*>(data), bytes);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* bytes) {
  if (!key || (data && !bytes)) return ERROR_INVALID_PARAMETER;
  std::optional<Tree> tree = Load();
  if (!tree) return ERROR_BADDB;
  auto it = tree->find(Fold(KeyPath(key)));
  if (it == tree->end()) return ERROR_FILE_NOT_FOUND;
  const Value* value = FindValue(it->second, name);
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value->type;
  DWORD needed = static_cast<DWORD>(value->bytes.size());
  if (data && *bytes < needed) {
    *bytes = needed;
    return ERROR_MORE_DATA;
  }
  if (data) std::memcpy(data, value->bytes.data(), needed);
  if (bytes) *bytes = needed;
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) {
  if (!key) return ERROR_INVALID_PARAMETER;
  std::u16string path = KeyPath(key);
  return Modify([&](Tree& tree) -> LSTATUS {
    auto it = tree.find(Fold(path));
    if (it == tree.end()) return ERROR_FILE_NOT_FOUND;
    Value* value = FindValue(it->second, name);
    if (!value) return ERROR_FILE_NOT_FOUND;
    it->second.values.erase(it->second.values.begin() + (value - it->second.values.data()));
    return ERROR_SUCCESS;
  });
}

namespace {

LSTATUS DeleteKey(HKEY key, LPCWSTR subKey, bool withChildren) {
  std::optional<std::u16string> path = Join(key, subKey);
  if (!path || !subKey || !*subKey) return ERROR_INVALID_PARAMETER;
  return Modify([&](Tree& tree) -> LSTATUS {
    std::u16string folded = Fold(*path);
    auto it = tree.find(folded);
    if (it == tree.end()) return ERROR_FILE_NOT_FOUND;
    // Children do not always sort right after their parent ("a\b-x" comes
    // before "a\b\c"), so look at every key.
    std::vector<std::u16string> children;
    for (const auto& entry : tree) {
      if (IsBelow(entry.first, folded)) children.push_back(entry.first);
    }
    if (!children.empty() && !withChildren) return ERROR_KEY_HAS_CHILDREN;
    for (const std::u16string& child : children) tree.erase(child);
    tree.erase(it);
    return ERROR_SUCCESS;
  });
}

}  // namespace

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey) { return DeleteKey(key, subKey, false); }

LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subKey) { return DeleteKey(key, subKey, true); }

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameChars, DWORD*, LPWSTR,
                      DWORD*, void*) {
  if (!key || !name || !nameChars) return ERROR_INVALID_PARAMETER;
  std::optional<Tree> tree = Load();
  if (!tree) return ERROR_BADDB;
  std::u16string parent = Fold(KeyPath(key));
  DWORD seen = 0;
  for (const auto& [folded, k] : *tree) {
    if (!IsBelow(folded, parent) || folded.find(u'\\', parent.size() + 1) != std::u16string::npos) {
      continue;
    }
    if (seen++ != index) continue;
    std::u16string child = k.path.substr(parent.size() + 1);
    if (*nameChars < child.size() + 1) {
      *nameChars = static_cast<DWORD>(child.size() + 1);
      return ERROR_MORE_DATA;
    }
    child.copy(name, child.size());
    name[child.size()] = 0;
    *nameChars = static_cast<DWORD>(child.size());
    return ERROR_SUCCESS;
  }
  return ERROR_NO_MORE_ITEMS;
}
