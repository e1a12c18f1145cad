// Splitting a parameter text into words, the same on every platform.
#include <string>
#include <vector>

#include "platform/shell.h"

namespace platform {

std::vector<std::u16string> SplitShellWords(std::u16string_view text) {
  std::vector<std::u16string> words;
  std::u16string word;
  bool inWord = false;
  char16_t quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else if (c == u'\\' && quote == u'"' && i + 1 < text.size()) {
        word.push_back(text[++i]);
      } else {
        word.push_back(c);
      }
    } else if (c == u' ' || c == u'\t' || c == u'\n') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
      inWord = true;
    } else if (c == u'\\' && i + 1 < text.size()) {
      word.push_back(text[++i]);
      inWord = true;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace platform
