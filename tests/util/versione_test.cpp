#include <gtest/gtest.h>

#include "util/uxUtilita.h"

using quandora::uxUtilita;

TEST(ConfrontaVersione, FieldsCompareAsUnsigned16BitNumbersNotAsText) {
    const uxUtilita u;
    EXPECT_EQ(u.ConfrontaVersione("3.2.9.9", "3.3.0.0"), -1);
    EXPECT_EQ(u.ConfrontaVersione("3.3.0.0", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3.10.0.0", "3.3.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("3.3.0.10", "3.3.0.9"), 1);
    EXPECT_EQ(u.ConfrontaVersione("32768.0.0.0", "32767.0.0.0"), 1);
    // Beyond the 16-bit range a field is the largest one, still newer.
    EXPECT_EQ(u.ConfrontaVersione("99999999999999999999.0.0.0", "65534.0.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("70000.0.0.0", "65535.0.0.0"), 0);
}

TEST(ConfrontaVersione, ShortTextsRepeatTheirLastFieldAndFieldsReadTheirLeadingDigits) {
    const uxUtilita u;
    // "3.3" reads as 3.3.3.3, "" as 0.0.0.0; fields past the fourth are ignored.
    EXPECT_EQ(u.ConfrontaVersione("3.3", "3.3.0.0"), 1);
    EXPECT_EQ(u.ConfrontaVersione("3.3", "3.3.3.3"), 0);
    EXPECT_EQ(u.ConfrontaVersione("4", "4.4.4.4"), 0);
    EXPECT_EQ(u.ConfrontaVersione("", "0.0.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("", "0.0.0.1"), -1);
    EXPECT_EQ(u.ConfrontaVersione("3.3.0.0.9", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione(" 3.3.0.0", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3.3b.0.0", "3.3.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3.x.0.0", "3.0.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("3..0.0", "3.0.0.0"), 0);
    EXPECT_EQ(u.ConfrontaVersione("-3.0.0.0", "0.0.0.0"), 0);
}
