#include "platform/registrar.h"

#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/registry.h"
#include "platform/text.h"

namespace platform {
namespace {

enum class KeyMode { kNormal, kNoRemove, kForceRemove, kDelete };

struct ScriptValue {
  std::u16string name;  // empty: the default value
  DWORD type = REG_SZ;
  std::u16string text;  // for REG_SZ
  DWORD number = 0;     // for REG_DWORD
};

struct ScriptKey {
  std::u16string name;
  KeyMode mode = KeyMode::kNormal;
  std::vector<ScriptValue> values;
  std::vector<ScriptKey> children;
};

struct ScriptRoot {
  HKEY root;
  std::vector<ScriptKey> keys;
};

class Parser {
 public:
  Parser(std::u16string_view text, const RegistryReplacements& replacements)
      : text_(text), replacements_(replacements) {}

  std::optional<std::vector<ScriptRoot>> Parse() {
    std::vector<ScriptRoot> roots;
    while (SkipBlanks()) {
      std::optional<std::u16string> word = Name();
      std::optional<HKEY> root = word ? RootKey(*word) : std::nullopt;
      if (!root || !Expect(u'{')) return std::nullopt;
      ScriptRoot r{*root, {}};
      if (!Body(r.keys, nullptr, 0)) return std::nullopt;
      roots.push_back(std::move(r));
    }
    return roots;
  }

 private:
  static std::optional<HKEY> RootKey(const std::u16string& word) {
    std::u16string w = AsciiLower(word);
    if (w == u"hkcr" || w == u"hkey_classes_root") return HKEY_CLASSES_ROOT;
    if (w == u"hkcu" || w == u"hkey_current_user") return HKEY_CURRENT_USER;
    if (w == u"hklm" || w == u"hkey_local_machine") return HKEY_LOCAL_MACHINE;
    return std::nullopt;
  }

  // Reads items up to the closing brace. `values` collects "val" entries of
  // the enclosing key (null at a root).
  bool Body(std::vector<ScriptKey>& keys, std::vector<ScriptValue>* values, int depth) {
    if (depth > 64) return false;
    while (SkipBlanks()) {
      if (Peek() == u'}') {
        ++pos_;
        return true;
      }
      std::optional<std::u16string> word = Name();
      if (!word) return false;
      std::u16string lower = AsciiLower(*word);
      if (lower == u"val") {
        std::optional<std::u16string> name = Name();
        ScriptValue value;
        if (!values || !name || !Expect(u'=') || !Value(&value)) return false;
        value.name = *name;
        values->push_back(std::move(value));
        continue;
      }
      ScriptKey key;
      if (lower == u"noremove" || lower == u"forceremove" || lower == u"delete") {
        key.mode = lower == u"noremove"      ? KeyMode::kNoRemove
                   : lower == u"forceremove" ? KeyMode::kForceRemove
                                             : KeyMode::kDelete;
        word = Name();
        if (!word) return false;
      }
      key.name = *word;
      if (SkipBlanks() && Peek() == u'=') {
        ++pos_;
        ScriptValue value;
        if (!Value(&value)) return false;
        key.values.push_back(std::move(value));
      }
      if (SkipBlanks() && Peek() == u'{') {
        ++pos_;
        if (!Body(key.children, &key.values, depth + 1)) return false;
      }
      keys.push_back(std::move(key));
    }
    return false;  // the text ended inside a block
  }

  bool Value(ScriptValue* value) {
    std::optional<std::u16string> type = Name();
    std::optional<std::u16string> text = type ? Name() : std::nullopt;
    if (!text) return false;
    std::u16string t = AsciiLower(*type);
    if (t == u"s") {
      value->type = REG_SZ;
      value->text = *text;
      return true;
    }
    if (t == u"d") {
      std::string digits = Utf16ToUtf8(*text);
      char* end = nullptr;
      unsigned long n = std::strtoul(digits.c_str(), &end, 0);
      if (digits.empty() || *end) return false;
      value->type = REG_DWORD;
      value->number = static_cast<DWORD>(n);
      return true;
    }
    return false;
  }

  // A quoted or bare name, with replacements applied.
  std::optional<std::u16string> Name() {
    if (!SkipBlanks()) return std::nullopt;
    std::u16string raw;
    if (Peek() == u'\'') {
      for (++pos_;; ++pos_) {
        if (pos_ >= text_.size()) return std::nullopt;
        if (text_[pos_] == u'\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\'') {
            raw.push_back(u'\'');
            ++pos_;
            continue;
          }
          ++pos_;
          break;
        }
        raw.push_back(text_[pos_]);
      }
    } else {
      // A word that starts with a brace is a GUID, "{...}", and runs to the
      // next blank; any other word also ends at a brace.
      bool guid = Peek() == u'{' && pos_ + 1 < text_.size() && !IsBlank(text_[pos_ + 1]);
      while (pos_ < text_.size() && !IsBlank(text_[pos_]) && text_[pos_] != u'=' &&
             (guid || (text_[pos_] != u'{' && text_[pos_] != u'}'))) {
        raw.push_back(text_[pos_++]);
      }
      if (raw.empty()) return std::nullopt;
    }
    return Replace(raw);
  }

  std::optional<std::u16string> Replace(const std::u16string& raw) const {
    std::u16string out;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != u'%') {
        out.push_back(raw[i]);
        continue;
      }
      size_t end = raw.find(u'%', i + 1);
      if (end == std::u16string::npos) return std::nullopt;
      std::u16string name = raw.substr(i + 1, end - i - 1);
      if (name.empty()) {
        out.push_back(u'%');
      } else {
        bool found = false;
        for (const auto& [key, value] : replacements_) {
          if (EqualsIgnoringAsciiCase(key, name)) {
            out += value;
            found = true;
            break;
          }
        }
        if (!found) return std::nullopt;
      }
      i = end;
    }
    return out;
  }

  static bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
  // Skips blanks; false at the end of the text.
  bool SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size();
  }
  char16_t Peek() const { return text_[pos_]; }
  bool Expect(char16_t c) {
    if (!SkipBlanks() || Peek() != c) return false;
    ++pos_;
    return true;
  }

  std::u16string_view text_;
  const RegistryReplacements& replacements_;
  size_t pos_ = 0;
};

// An open key that closes itself.
struct KeyCloser {
  void operator()(HKEY__* key) const { RegCloseKey(key); }
};
using ScopedKey = std::unique_ptr<HKEY__, KeyCloser>;

LSTATUS WriteValue(HKEY key, const ScriptValue& v) {
  const OLECHAR* name = v.name.empty() ? nullptr : v.name.c_str();
  if (v.type == REG_DWORD) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v.number),
                          sizeof v.number);
  }
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.text.c_str()),
                        static_cast<DWORD>((v.text.size() + 1) * sizeof(OLECHAR)));
}

LSTATUS Register(HKEY parent, const ScriptKey& key) {
  if (key.mode == KeyMode::kDelete) {
    RegDeleteTreeW(parent, key.name.c_str());
    return ERROR_SUCCESS;
  }
  if (key.mode == KeyMode::kForceRemove) RegDeleteTreeW(parent, key.name.c_str());
  HKEY raw = nullptr;
  LSTATUS status = RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, &raw, nullptr);
  if (status != ERROR_SUCCESS) return status;
  ScopedKey opened(raw);
  for (const ScriptValue& v : key.values) {
    status = WriteValue(opened.get(), v);
    if (status != ERROR_SUCCESS) return status;
  }
  for (const ScriptKey& child : key.children) {
    status = Register(opened.get(), child);
    if (status != ERROR_SUCCESS) return status;
  }
  return ERROR_SUCCESS;
}

void Unregister(HKEY parent, const ScriptKey& key) {
  if (key.mode == KeyMode::kForceRemove || key.mode == KeyMode::kDelete) {
    RegDeleteTreeW(parent, key.name.c_str());
    return;
  }
  HKEY raw = nullptr;
  if (RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return;
  {
    ScopedKey opened(raw);
    for (const ScriptKey& child : key.children) Unregister(opened.get(), child);
  }
  // Keys that others still use (they have subkeys of their own) stay.
  if (key.mode == KeyMode::kNormal) RegDeleteKeyW(parent, key.name.c_str());
}

}  // namespace

HRESULT UpdateRegistryFromScript(std::u16string_view script,
                                 const RegistryReplacements& replacements, bool registering) {
  std::optional<std::vector<ScriptRoot>> roots = Parser(script, replacements).Parse();
  if (!roots) return E_INVALIDARG;
  for (const ScriptRoot& root : *roots) {
    for (const ScriptKey& key : root.keys) {
      if (registering) {
        LSTATUS status = Register(root.root, key);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
      } else {
        Unregister(root.root, key);
      }
    }
  }
  return S_OK;
}

}  // namespace platform
