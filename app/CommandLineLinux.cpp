#include "app/CommandLine.h"

#include <locale.h>
#include <stdlib.h>

double ReadCLocaleNumber(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
  return strtod_l(text.c_str(), nullptr, cLocale);
}
