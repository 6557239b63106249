#include "config/ConfigFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace {

// Writes `text` to a file and parses it the way the game's readers do.
class ConfigFileTest : public ::testing::Test {
  protected:
    ConfigFile parse(const std::string &text) {
        return ConfigFile(dir.write("test.ini", text), "=", "#", "EndConfigFile");
    }

    TempDir dir;
};

TEST_F(ConfigFileTest, CommentsAndEndMarker) {
    ConfigFile cf = parse("a = 1 # one\nb=2\nEndConfigFile\nc=3\n");
    EXPECT_EQ(cf.read<std::string>("a"), "1");
    EXPECT_EQ(cf.read<int>("b"), 2);
    EXPECT_FALSE(cf.keyExists("c"));

    // The comment is cut before the end marker is looked for.
    ConfigFile commented = parse("a=1\n# EndConfigFile here is only a comment\nb=2\n");
    EXPECT_EQ(commented.read<int>("b"), 2);

    // The marker ends the file wherever it stands in a line, even after a pair.
    ConfigFile inline_ = parse("a=1\nx=5 EndConfigFile\nb=2\n");
    EXPECT_TRUE(inline_.keyExists("a"));
    EXPECT_FALSE(inline_.keyExists("x"));
    EXPECT_FALSE(inline_.keyExists("b"));

    // Nothing in a comment counts: no key, no delimiter.
    ConfigFile onlyComments = parse("# k=v\n   # other = thing\n");
    EXPECT_FALSE(onlyComments.keyExists("k"));
    EXPECT_FALSE(onlyComments.keyExists("other"));
}

TEST_F(ConfigFileTest, ContinuationLines) {
    ConfigFile cf = parse("name = Big Tank\nsecond line\n\nother = x\n");
    EXPECT_EQ(cf.read<std::string>("name"), "Big Tank\nsecond line");
    EXPECT_EQ(cf.read<std::string>("other"), "x");

    // Inner white space of a continuation stays; only the ends of the whole value go.
    ConfigFile indented = parse("name = Big Tank\n  second line  \n\n");
    EXPECT_EQ(indented.read<std::string>("name"), "Big Tank\n  second line");

    // A line holding only a comment is skipped without ending the value.
    ConfigFile skipped = parse("x = 5\n# a comment\n7\n");
    EXPECT_EQ(skipped.read<std::string>("x"), "5\n7");

    // A line with another pair, the end marker or the end of the stream ends the value.
    ConfigFile ended = parse("a = 1\nmore\nb = 2\ntail\nEndConfigFile\nlost\n");
    EXPECT_EQ(ended.read<std::string>("a"), "1\nmore");
    EXPECT_EQ(ended.read<std::string>("b"), "2\ntail");
    ConfigFile atEnd = parse("a = 1\nlast line without line end");
    EXPECT_EQ(atEnd.read<std::string>("a"), "1\nlast line without line end");

    // A line without a delimiter and not following a value is ignored.
    ConfigFile stray = parse("no delimiter here\n\nk = v\n");
    EXPECT_EQ(stray.read<std::string>("k"), "v");
    EXPECT_FALSE(stray.keyExists("no delimiter here"));
}

TEST_F(ConfigFileTest, KeysAndDelimiters) {
    ConfigFile cf = parse("  spaced key   =   v  \na=1\na=2\nk = 1 = 2\nempty =\nKey = upper\n");
    EXPECT_EQ(cf.read<std::string>("spaced key"), "v");
    EXPECT_EQ(cf.read<int>("a"), 2);               // a repeated key replaces the earlier value
    EXPECT_EQ(cf.read<std::string>("k"), "1 = 2"); // only the first delimiter splits
    EXPECT_TRUE(cf.keyExists("empty"));
    EXPECT_EQ(cf.read<std::string>("empty"), "");
    EXPECT_TRUE(cf.keyExists("Key"));
    EXPECT_FALSE(cf.keyExists("key")); // keys are case-sensitive
    EXPECT_THROW(cf.read<std::string>("KEY"), ConfigFile::key_not_found);
}

TEST_F(ConfigFileTest, CrLfFilesReadLikeLfFiles) {
    ConfigFile lf = parse("a = 1\nname = Big Tank\nsecond line\n\nflag = no\nEndConfigFile\nb = 2\n");
    ConfigFile crlf =
        parse("a = 1\r\nname = Big Tank\r\nsecond line\r\n\r\nflag = no\r\nEndConfigFile\r\nb = 2\r\n");
    std::ostringstream lfText, crlfText;
    lfText << lf;
    crlfText << crlf;
    EXPECT_EQ(crlfText.str(), lfText.str());
    EXPECT_EQ(crlf.read<std::string>("name"), "Big Tank\nsecond line"); // no CR inside the value
    EXPECT_FALSE(crlf.read<bool>("flag"));
    EXPECT_FALSE(crlf.keyExists("b"));
}

TEST_F(ConfigFileTest, MissingFileAndKeyThrowByValueWithTheirName) {
    const std::string missing = (dir.path() / "nope.ini").string();
    testing::internal::CaptureStderr();
    try {
        ConfigFile cf(missing);
        FAIL() << "no exception";
    } catch (const ConfigFile::file_not_found &e) {
        EXPECT_EQ(e.filename, missing);
    }
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_NE(err.find(missing), std::string::npos) << err;

    ConfigFile cf = parse("present = 1\n");
    testing::internal::CaptureStderr();
    try {
        cf.read<int>("absent");
        FAIL() << "no exception";
    } catch (const ConfigFile::key_not_found &e) {
        EXPECT_EQ(e.key, "absent");
    }
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Error: ", 0), 0u) << err;
    EXPECT_NE(err.find("absent"), std::string::npos) << err;
    EXPECT_NE(err.find("test.ini"), std::string::npos) << err;

    // The defaulted read and keyExists never throw.
    EXPECT_EQ(cf.read<int>("absent", 42), 42);
    EXPECT_EQ(cf.read<int>("present", 42), 1);
    EXPECT_NO_THROW(cf.keyExists("absent"));
}

TEST_F(ConfigFileTest, RemoveAndTrim) {
    ConfigFile cf = parse("a=1\nb=2\n");
    cf.remove("a");
    EXPECT_FALSE(cf.keyExists("a"));
    cf.remove("not there"); // leaves the table unchanged
    EXPECT_EQ(cf.read<int>("b"), 2);
    std::ostringstream out;
    out << cf;
    EXPECT_EQ(out.str(), "b = 2\n");

    std::string s = " \n\t\v\r\f in side \f\r\v\t\n ";
    ConfigFile::trim(s);
    EXPECT_EQ(s, "in side");
    std::string blank = " \t\r\n";
    ConfigFile::trim(blank);
    EXPECT_EQ(blank, "");
}

TEST(ConfigFileStream, OperatorsWriteAndParseInKeyOrder) {
    ConfigFile cf; // "=" and "#", no end marker
    std::istringstream in("zeta = last\nreswidth=1024\nBeta = 2 # capital sorts first\nEndConfigFile = x\n");
    in >> cf;
    EXPECT_EQ(cf.getSourceName(), "(stream)");
    EXPECT_EQ(cf.read<std::string>("EndConfigFile"), "x"); // no end marker by default

    std::ostringstream out;
    out << cf;
    EXPECT_EQ(out.str(), "Beta = 2\nEndConfigFile = x\nreswidth = 1024\nzeta = last\n");

    // The output parses back to the same table.
    ConfigFile again;
    std::istringstream back(out.str());
    back >> again;
    std::ostringstream out2;
    out2 << again;
    EXPECT_EQ(out2.str(), out.str());

    // Input adds to what is there.
    std::istringstream more("extra = 1\nzeta = new\n");
    more >> cf;
    EXPECT_EQ(cf.read<int>("extra"), 1);
    EXPECT_EQ(cf.read<std::string>("zeta"), "new");
    EXPECT_EQ(cf.read<int>("reswidth"), 1024);
}

TEST(ConfigFileConversion, Bool) {
    for (const char *falseValue :
         {"FALSE", "false", "F", "f", "NO", "no", "No", "N", "n", "0", "NONE", "none"}) {
        EXPECT_FALSE(ConfigFile::string_as_T<bool>(falseValue)) << falseValue;
    }
    for (const char *trueValue : {"", "true", "yes", "1", "2", "00", "nope", "\xe4"}) {
        EXPECT_TRUE(ConfigFile::string_as_T<bool>(trueValue)) << trueValue;
    }
}

TEST(ConfigFileConversion, Numbers) {
    EXPECT_EQ(ConfigFile::string_as_T<int>("12abc"), 12);
    EXPECT_EQ(ConfigFile::string_as_T<int>("1.9"), 1);
    EXPECT_EQ(ConfigFile::string_as_T<int>("  -7"), -7);
    EXPECT_EQ(ConfigFile::string_as_T<int>("+8"), 8);
    EXPECT_EQ(ConfigFile::string_as_T<long>("2.75"), 2L);
    EXPECT_EQ(ConfigFile::string_as_T<long>("-3000000000"), -3000000000L);
    EXPECT_EQ(ConfigFile::string_as_T<unsigned int>("4000000000"), 4000000000u);
    EXPECT_EQ(ConfigFile::string_as_T<int>("99999999999"), std::numeric_limits<int>::max());

    EXPECT_NEAR(ConfigFile::string_as_T<float>("0.25"), 0.25f, 1e-7f);
    EXPECT_NEAR(ConfigFile::string_as_T<float>("-.5x"), -0.5f, 1e-7f);
    EXPECT_NEAR(ConfigFile::string_as_T<double>("1.5e2"), 150.0, 1e-12);
    EXPECT_NEAR(ConfigFile::string_as_T<double>("1.5e"), 1.5, 1e-12); // a bare exponent is not taken
    EXPECT_NEAR(ConfigFile::string_as_T<double>("1.5e+x"), 1.5, 1e-12);
    EXPECT_NEAR(ConfigFile::string_as_T<double>("3.12345678"), 3.12345678, 1e-12);
    EXPECT_NEAR(ConfigFile::string_as_T<double>("7."), 7.0, 1e-12);
}

TEST(ConfigFileConversion, ValuesThatAreNoNumberGiveZero) {
    for (const char *garbage : {"", "   ", "abc", "-", "+", ".", "-.", "e5", "x12", "inf", "nan", "#"}) {
        EXPECT_EQ(ConfigFile::string_as_T<int>(garbage), 0) << garbage;
        EXPECT_EQ(ConfigFile::string_as_T<unsigned int>(garbage), 0u) << garbage;
        EXPECT_EQ(ConfigFile::string_as_T<long>(garbage), 0L) << garbage;
        EXPECT_EQ(ConfigFile::string_as_T<float>(garbage), 0.0f) << garbage;
        EXPECT_EQ(ConfigFile::string_as_T<double>(garbage), 0.0) << garbage;
    }
    EXPECT_EQ(ConfigFile::string_as_T<char>(""), '\0');
    EXPECT_EQ(ConfigFile::string_as_T<char>(" \t\r\n"), '\0');
}

TEST(ConfigFileConversion, CharAndString) {
    EXPECT_EQ(ConfigFile::string_as_T<char>("w"), 'w');
    EXPECT_EQ(ConfigFile::string_as_T<char>("  W rest"), 'W');
    EXPECT_EQ(ConfigFile::string_as_T<char>("43"), '4'); // a character read never parses a number
    EXPECT_EQ(ConfigFile::string_as_T<std::string>("  as is \n"), "  as is \n");
}

TEST_F(ConfigFileTest, TypedReadsOfAFile) {
    ConfigFile cf = parse("i = 42 # answer\nu = 7\nl = -9\nc = q\nf = 0.5\nd = 2.25\nb = no\ns = a b c\n"
                          "junk = abc\n");
    EXPECT_EQ(cf.read<int>("i"), 42);
    EXPECT_EQ(cf.read<unsigned int>("u"), 7u);
    EXPECT_EQ(cf.read<long>("l"), -9L);
    EXPECT_EQ(cf.read<char>("c"), 'q');
    EXPECT_NEAR(cf.read<float>("f"), 0.5f, 1e-7f);
    EXPECT_NEAR(cf.read<double>("d"), 2.25, 1e-12);
    EXPECT_FALSE(cf.read<bool>("b"));
    EXPECT_EQ(cf.read<std::string>("s"), "a b c");
    EXPECT_EQ(cf.read<int>("junk"), 0);
    EXPECT_EQ(cf.read<double>("junk", 5.0), 0.0); // present, so the default is not used
}

} // namespace
