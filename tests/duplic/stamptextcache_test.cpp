// The shared date and time texts of a scan must be the texts of each stamp,
// whichever way the cache comes by them.

#include "common/filestamp.h"
#include "common/stamptext.h"
#include "duplic/stamptextcache.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <string>

using namespace kelvane;

TEST(StampTextCache, EveryTimeOfDayAndTheInvalidStampInTwoLocales)
{
    const QLocale saved;
    // en_US writes "h:mm:ss AP"; de_DE "HH:mm:ss", which the cache writes out itself.
    for (const QLocale& locale :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        StampTextCache cache;
        // Stamps of real file times: 0 (outside 1980..2107) or valid in date and time.
        std::vector<uint32_t> stamps = {0};
        for (int second = 0; second < 24 * 3600; second += 2)
            stamps.push_back(packStampFields(2021, 3, 28, second / 3600, second / 60 % 60, second % 60));
        for (int pass = 0; pass < 2; ++pass) { // the second pass reads what the first one kept
            for (const uint32_t stamp : stamps) {
                std::string time;
                cache.appendTime(time, stamp);
                ASSERT_EQ(time, fileTimeText(stamp).toStdString())
                    << locale.name().toStdString() << " " << stamp;
                std::string date;
                cache.appendDate(date, stamp);
                ASSERT_EQ(date, fileDateText(stamp).toStdString())
                    << locale.name().toStdString() << " " << stamp;
            }
        }
    }
    QLocale::setDefault(saved);
}
