#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

#include "discharge.h"

namespace calc {

char DecimalMark = '.';

void ReadDecimalMark()
{
    // The user's locale as a session would resolve it (LC_ALL, then
    // LC_NUMERIC, then LANG), loaded on the side: the process's own locale,
    // which the GUI toolkit and the C library rely on, stays as it is.
    char mark = '.';
    if (locale_t userLocale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        const char* radix = nl_langinfo_l(RADIXCHAR, userLocale);
        if (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') {
            mark = radix[0];
        }
        freelocale(userLocale);
    }
    DecimalMark = mark;
}

}  // namespace calc
