// Today's browsers' databases on drive I:, whose raw image the test reads: after the default erase
// run through the real Quorvale.exe, a visited address is nowhere on the drive, not in the files
// and not in the free blocks that a deleted log or journal leaves behind.
#include "driver/QuorvaleDriver.h"
#include "platform/Files.h"
#include "platform/SqliteDatabase.h"
#include "support/DatabaseFiles.h"
#include "support/Scratch.h"
#include "support/TestDrives.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr DWORD kRunTimeoutMs = 120000;

// A marker no former run can have left on the drive.
std::string NewMarker(const char* kind) {
    std::random_device random;
    return std::string("qv-") + kind + "-" + std::to_string(random()) + std::to_string(random()) + ".example";
}

std::vector<std::string> Texts(const std::string& path, const std::string& sql) {
    SqliteDatabase db;
    EXPECT_EQ(db.Open(path), DatabaseOpen::Opened) << path << ": " << db.LastError();
    return db.QueryTexts(sql);
}

class BrowserDatabaseDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = ImageTestDriveMissing();
        if (!missing.empty()) {
            GTEST_SKIP() << missing;
        }
        root_ = std::string(1, kImageTestDrive) + ":\\qv-profiles-" + std::to_string(GetCurrentProcessId());
        MakeFolders(Firefox());
        MakeFolders(ChromeProfile());
        app_ = std::make_unique<QuorvaleApp>(std::nullopt);
        sandbox_ = std::make_unique<TraceSandbox>(*app_);
        app_->SetEnvironment("APPDATA", root_ + "\\Roaming");
        app_->SetEnvironment("LOCALAPPDATA", root_ + "\\Local");
    }
    void TearDown() override {
        if (app_) {
            app_->Kill();
        }
        sandbox_.reset();
        app_.reset();
        if (!root_.empty()) {
            RemoveTree(root_);
        }
    }

    std::string Firefox() const { return root_ + "\\Roaming\\Mozilla\\Firefox\\Profiles\\qv.default-release"; }
    std::string ChromeProfile() const { return root_ + "\\Local\\Google\\Chrome\\User Data\\Default"; }

    // places.sqlite in write-ahead-log mode whose one visit to marker lives only in its log, as
    // Firefox leaves it when it is ended.
    void MakeFirefoxPlacesWithVisitInLog(const std::string& marker) {
        const std::string places = Firefox() + "\\places.sqlite";
        ASSERT_NO_FATAL_FAILURE(MakeDatabaseWithLog(
            places,
            "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,"
            " visit_count INTEGER DEFAULT 0, typed INTEGER DEFAULT 0 NOT NULL, last_visit_date INTEGER);"
            "CREATE TABLE moz_historyvisits(id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,"
            " visit_date INTEGER, visit_type INTEGER);"
            "CREATE TABLE moz_bookmarks(id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER,"
            " title LONGVARCHAR);"
            "INSERT INTO moz_places(id, url, title) VALUES(1, 'https://bookmarked.example/', 'Kept');"
            "INSERT INTO moz_bookmarks VALUES(1, 1, 1, 0, 'Kept')",
            "INSERT INTO moz_places(id, url, title, visit_count) VALUES(2, 'https://" + marker +
                "/page', 'Visited', 1);"
                "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) VALUES(2, 1, 1);"));
        ASSERT_EQ(ReadFileText(places).find(marker), std::string::npos) << "the visit is in the log alone";
    }

    // History with a hot journal holding the page of marker's row, as Chrome leaves it when it dies
    // in the middle of a write.
    void MakeChromeHistoryWithHotJournal(const std::string& marker) {
        WriteFileText(ChromeProfile() + "\\Preferences", "{}");
        const std::string history = ChromeProfile() + "\\History";
        ASSERT_NO_FATAL_FAILURE(MakeDatabaseWithHotJournal(
            history,
            "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
            "CREATE TABLE urls(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, last_visit_time INTEGER);"
            "CREATE TABLE visits(id INTEGER PRIMARY KEY, url INTEGER NOT NULL, visit_time INTEGER NOT NULL);"
            "INSERT INTO meta VALUES('version', '66');"
            "INSERT INTO urls VALUES(1, 'https://" +
                marker +
                "/page', 'Visited', 1);"
                "INSERT INTO visits(url, visit_time) VALUES(1, 1);",
            "UPDATE urls SET title = 'being written'"));
        ASSERT_NE(ReadFileText(history + "-journal").find(marker), std::string::npos) << "the journal holds the page";
    }

    std::string root_;
    std::unique_ptr<QuorvaleApp> app_;
    std::unique_ptr<TraceSandbox> sandbox_;
};

TEST_F(BrowserDatabaseDriveTest, AVisitInAWriteAheadLogAndAPageInAHotJournalAreNowhereOnTheDriveAfterTheRun) {
    const std::string firefoxMarker = NewMarker("firefox-log");
    const std::string chromeMarker = NewMarker("chrome-journal");
    ASSERT_NO_FATAL_FAILURE(MakeFirefoxPlacesWithVisitInLog(firefoxMarker));
    ASSERT_NO_FATAL_FAILURE(MakeChromeHistoryWithHotJournal(chromeMarker));
    ASSERT_GE(OccurrencesOnImageTestDrive(firefoxMarker), 1) << "the search sees the drive's bytes";
    ASSERT_GE(OccurrencesOnImageTestDrive(chromeMarker), 2) << "the database and its journal";

    const std::string log = app_->Folder() + "\\run.log";
    app_->Start({"/erase", log});
    ASSERT_TRUE(app_->WaitExit(kRunTimeoutMs));
    EXPECT_EQ(app_->ExitCode(), 0u) << ReadFileText(log);

    EXPECT_EQ(OccurrencesOnImageTestDrive(firefoxMarker), 0) << ReadFileText(log);
    EXPECT_EQ(OccurrencesOnImageTestDrive(chromeMarker), 0) << ReadFileText(log);

    const std::string places = Firefox() + "\\places.sqlite";
    const std::string history = ChromeProfile() + "\\History";
    for (const std::string& database : {places, history}) {
        EXPECT_EQ(Texts(database, "PRAGMA integrity_check"), std::vector<std::string>{"ok"}) << database;
    }
    EXPECT_EQ(Texts(places, "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
    EXPECT_EQ(Texts(places, "SELECT url FROM moz_places"), std::vector<std::string>{"https://bookmarked.example/"})
        << "the bookmarked place stays";
    EXPECT_EQ(Texts(history, "SELECT value FROM meta"), std::vector<std::string>{"66"});
    EXPECT_EQ(Texts(history, "SELECT count(*) FROM urls"), std::vector<std::string>{"0"});
    for (const std::string& left : {places + "-wal", history + "-journal"}) {
        EXPECT_FALSE(FileExists(left)) << left;
    }
}

} // namespace
