#include "text/texts.h"

#include <cstring>

std::string JoinTexts(std::initializer_list<const char*> parts) {
  std::string joined;
  for (const char* part : parts) {
    if (part != nullptr) joined += part;
  }
  return joined;
}

int CompareTexts(const char* left, const char* right) {
  const int order = std::strcmp(left != nullptr ? left : "", right != nullptr ? right : "");
  return (order > 0) - (order < 0);
}
