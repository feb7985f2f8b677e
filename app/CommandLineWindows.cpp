#include "app/CommandLine.h"

#include <locale.h>
#include <stdlib.h>

double ReadCLocaleNumber(const std::string& text) {
  static const _locale_t cLocale = _create_locale(LC_NUMERIC, "C");
  return _strtod_l(text.c_str(), nullptr, cLocale);
}
