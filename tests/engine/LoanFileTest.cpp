#include "engine/FileIo.h"
#include "engine/LoanFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace brellow {
namespace {

namespace fs = std::filesystem;

class LoanFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("brellow-file-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const char* name) const { return (m_dir / name).string(); }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path m_dir;
};

const OleDateTime kMarch15 = OleDateTime::FromCivil({2026, 3, 15, 10, 0, 0});

template <typename T>
void Poke(LoanRecord& record, std::size_t offset, T value) {
    std::memcpy(record.data() + offset, &value, sizeof value);  // the test host is little-endian
}

std::string AsString(const LoanRecord& record) {
    return std::string(reinterpret_cast<const char*>(record.data()), record.size());
}

TEST_F(LoanFileTest, NewDocumentRecordLayout) {
    const CTamsicDoc doc(kMarch15);
    const LoanRecord record = StoreLoanRecord(doc);
    LoanRecord expected{};
    Poke<std::int32_t>(expected, 40, 2);
    Poke<std::int32_t>(expected, 44, 3);
    Poke<double>(expected, 32, OleDateTime::FromDate(2026, 4, 1).Value());
    EXPECT_EQ(AsString(expected), AsString(record));

    const std::string path = Path("new.brw");
    CTamsicDoc saved(kMarch15);
    saved.SetModifiedFlag(true);
    ASSERT_EQ("", WriteLoanFile(path, saved));
    EXPECT_EQ(64u, fs::file_size(path));
    EXPECT_FALSE(saved.IsModified());
    EXPECT_EQ("new.brw", saved.GetTitle());
}

TEST_F(LoanFileTest, FieldsRoundTripByteForByte) {
    CTamsicDoc doc(kMarch15);
    doc.SetLoanAmount(123456.78);
    doc.SetNumPeriods(240);
    doc.SetInterestRate(6.125);
    doc.SetFirstPaymentDate(OleDateTime::FromCivil({2010, 7, 31, 12, 30, 0}));
    doc.SetPaymentFrequency(1);
    doc.SetCompoundFrequency(8);
    doc.SetBalloon(true);
    doc.SetBalloonPeriod(120);
    doc.SetAdditionalPayment(10.005);
    doc.ComputePayment();
    const std::string first = Path("a.brw"), second = Path("b.brw");
    ASSERT_EQ("", WriteLoanFile(first, doc));

    CTamsicDoc read(kMarch15);
    ASSERT_EQ("", ReadLoanFile(first, read));
    EXPECT_EQ(doc.GetTerms(), read.GetTerms());
    EXPECT_EQ(doc.GetPayment(), read.GetPayment());
    EXPECT_FALSE(read.m_bParametersPending);
    EXPECT_FALSE(read.IsModified());
    EXPECT_EQ(first, read.GetPathName());
    read.ComputePayment();
    ASSERT_EQ("", WriteLoanFile(second, read));
    EXPECT_EQ(Bytes(first), Bytes(second));
}

TEST_F(LoanFileTest, OddValuesAreTakenAsStored) {
    LoanRecord record = StoreLoanRecord(CTamsicDoc(kMarch15));
    Poke<double>(record, 0, 1000.1234);  // not whole cents
    Poke<std::int32_t>(record, 8, -12);  // negative periods
    Poke<double>(record, 20, 777.0);     // payment disagreeing with the terms
    Poke<std::int32_t>(record, 28, 2);   // null date
    Poke<double>(record, 32, -1e300);
    Poke<std::int32_t>(record, 40, 42);  // codes without names
    Poke<std::int32_t>(record, 44, -3);
    const std::string path = Path("odd.brw");
    Put(path, AsString(record) + "trailing bytes are ignored");

    CTamsicDoc doc(kMarch15);
    ASSERT_EQ("", ReadLoanFile(path, doc));
    EXPECT_EQ(1000.1234, doc.GetLoanAmount());
    EXPECT_EQ(-12, doc.GetNumPeriods());
    EXPECT_EQ(777.0, doc.GetPayment());  // stands until the payment is recomputed
    EXPECT_EQ(OleDateTime::Status::Null, doc.GetFirstPaymentDate().GetStatus());
    EXPECT_EQ(-1e300, doc.GetFirstPaymentDate().Value());
    EXPECT_EQ(42, doc.GetPaymentFrequency());
    EXPECT_EQ(-3, doc.GetCompoundFrequency());
    EXPECT_EQ(AsString(record), AsString(StoreLoanRecord(doc)));
}

TEST_F(LoanFileTest, RefusesRecordsThatCannotBeComputed) {
    struct Case {
        const char* what;
        void (*damage)(LoanRecord&);
        const char* reason;
    };
    const Case cases[] = {
        {"amount",
         [](LoanRecord& r) { Poke<double>(r, 0, std::numeric_limits<double>::quiet_NaN()); },
         "the loan amount is not a finite number"},
        {"rate",
         [](LoanRecord& r) { Poke<double>(r, 12, std::numeric_limits<double>::infinity()); },
         "the interest rate is not a finite number"},
        {"payment",
         [](LoanRecord& r) { Poke<double>(r, 20, -std::numeric_limits<double>::infinity()); },
         "the payment is not a finite number"},
        {"extra",
         [](LoanRecord& r) { Poke<double>(r, 56, std::numeric_limits<double>::quiet_NaN()); },
         "the additional payment is not a finite number"},
        {"periods", [](LoanRecord& r) { Poke<std::int32_t>(r, 8, 1000001); },
         "the number of periods is above 1,000,000"},
        {"balloon", [](LoanRecord& r) { Poke<std::int32_t>(r, 52, 2147483647); },
         "the balloon period is above 1,000,000"},
        {"date", [](LoanRecord& r) { Poke<double>(r, 32, 1e9); },
         "the first payment date is outside 01/01/100 to 12/31/9999"},
        {"last", [](LoanRecord& r) { Poke<std::int32_t>(r, 8, 1000000); },
         "the last payment would fall after 12/31/9999"},
        {"overflow",
         [](LoanRecord& r) {
             Poke<double>(r, 0, 1000.0);
             Poke<double>(r, 12, 900.0);
             Poke<std::int32_t>(r, 8, 400000);
             Poke<std::int32_t>(r, 40, 0);
             Poke<double>(r, 32, OleDateTime::FromDate(100, 1, 1).Value());
         },
         "the schedule's amounts would exceed what can be shown to the cent"},
        {"beyond the cent", [](LoanRecord& r) { Poke<double>(r, 0, 1e300); },
         "the schedule's amounts would exceed what can be shown to the cent"},
        {"rounds into 10000",  // 23:59:59.9 on 31 December 9999
         [](LoanRecord& r) { Poke<double>(r, 32, 2958465.99999899); },
         "the first payment date is outside 01/01/100 to 12/31/9999"},
    };
    for (const Case& c : cases) {
        LoanRecord record = StoreLoanRecord(CTamsicDoc(kMarch15));
        c.damage(record);
        const std::string path = Path("bad.brw");
        Put(path, AsString(record));
        CTamsicDoc doc(kMarch15);
        doc.SetLoanAmount(5);
        EXPECT_EQ("Cannot open " + path + ": " + c.reason + ".", ReadLoanFile(path, doc)) << c.what;
        EXPECT_EQ(5.0, doc.GetLoanAmount()) << "a refused file leaves the document alone";
        EXPECT_TRUE(doc.m_bParametersPending);
    }
    // 1,000,000 periods from 2026 overrun the calendar, but not with a balloon cut short.
    LoanRecord record = StoreLoanRecord(CTamsicDoc(kMarch15));
    Poke<std::int32_t>(record, 8, 1000000);
    Poke<std::int32_t>(record, 48, 1);
    Poke<std::int32_t>(record, 52, 12);
    Put(Path("ok.brw"), AsString(record));
    CTamsicDoc doc(kMarch15);
    EXPECT_EQ("", ReadLoanFile(Path("ok.brw"), doc));
}

TEST_F(LoanFileTest, ShortMissingAndUnreadableFiles) {
    CTamsicDoc doc(kMarch15);
    Put(Path("short.brw"), std::string(63, '\0'));
    EXPECT_EQ("Cannot open " + Path("short.brw") + ": the file is shorter than 64 bytes.",
              ReadLoanFile(Path("short.brw"), doc));
    Put(Path("empty.brw"), "");
    EXPECT_NE("", ReadLoanFile(Path("empty.brw"), doc));
    EXPECT_EQ("Cannot open " + Path("none.brw") + ": No such file or directory.",
              ReadLoanFile(Path("none.brw"), doc));
    EXPECT_EQ("Cannot open " + m_dir.string() + ": Is a directory.",
              ReadLoanFile(m_dir.string(), doc));
    ASSERT_EQ(0, ::mkfifo(Path("pipe.brw").c_str(), 0600));
    EXPECT_EQ("Cannot open " + Path("pipe.brw") + ": Not a regular file.",
              ReadLoanFile(Path("pipe.brw"), doc));  // and it does not block
}

TEST_F(LoanFileTest, SavingIsAtomic) {
    const std::string path = Path("loan.brw");
    Put(path, "old contents");
    ASSERT_EQ(0, ::chmod(path.c_str(), 0640));
    CTamsicDoc doc(kMarch15);
    ASSERT_EQ("", WriteLoanFile(path, doc));
    EXPECT_EQ(64u, fs::file_size(path));
    EXPECT_EQ(fs::perms(0640), fs::status(path).permissions() & fs::perms::mask);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(1, std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));

    // A link keeps pointing at the file it names.
    fs::create_symlink(path, Path("link.brw"));
    doc.SetLoanAmount(99);
    ASSERT_EQ("", WriteLoanFile(Path("link.brw"), doc));
    EXPECT_TRUE(fs::is_symlink(Path("link.brw")));
    CTamsicDoc read(kMarch15);
    ASSERT_EQ("", ReadLoanFile(path, read));
    EXPECT_EQ(99.0, read.GetLoanAmount());

    // A failed save names the file and the reason and leaves the document modified.
    doc.SetModifiedFlag(true);
    const std::string missing = Path("no/such/folder/x.brw");
    EXPECT_EQ("Cannot save " + missing + ": No such file or directory.",
              WriteLoanFile(missing, doc));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Path("link.brw"), doc.GetPathName());
    fs::create_directory(Path("adir"));
    EXPECT_NE("", WriteLoanFile(Path("adir"), doc));
    EXPECT_TRUE(fs::is_directory(Path("adir")));
}

TEST_F(LoanFileTest, ReadPrefixStopsAtTheLimit) {
    Put(Path("big"), std::string(100000, 'x'));
    std::string bytes;
    ASSERT_TRUE(ReadFilePrefix(Path("big"), 64, bytes));
    EXPECT_EQ(std::string(64, 'x'), bytes);
}

}  // namespace
}  // namespace brellow
