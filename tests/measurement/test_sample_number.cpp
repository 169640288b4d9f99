// The existing-sample question at a count key press.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/ado_conn.h"
#include "measurement/sample_number.h"
#include "program_folder.h"

using namespace measurement;
using A = ExistingSampleAnswer;

TEST(SampleNumber, AnswersToTheExistingSampleQuestion) {
  const std::set<uint32_t> stored = {11, 12, 13, 99999998, 99999999};
  struct Case {
    uint32_t counter;
    bool retest, entered;
    std::vector<A> answers;
    bool start;
    uint32_t after;
    int asked;
    bool noNumberLeft = false;
  } cases[] = {
      {20, false, false, {}, true, 20, 0},                      // 21 is free
      {10, false, false, {A::Overwrite}, true, 10, 1},          // count 11 again
      {10, false, false, {A::Skip, A::Skip, A::Skip}, true, 13, 3},  // up to the free 14
      {10, false, false, {A::Skip, A::Skip, A::Cancel}, false, 10, 3},  // counter unchanged
      {10, true, false, {}, true, 10, 0},                       // retest: no question
      {10, false, true, {}, true, 10, 0},                       // number entered in the profile
      // At the highest number the next count is that number again, asked like any stored one;
      // there is no number after it to skip to.
      {99999999, false, false, {A::Overwrite}, true, 99999999, 1},
      {99999999, false, false, {A::Skip}, false, 99999999, 1, true},
      {99999997, false, false, {A::Skip, A::Skip}, false, 99999997, 2, true},
      {99999997, false, false, {A::Skip, A::Overwrite}, true, 99999998, 2},
      {99999999, false, false, {A::Cancel}, false, 99999999, 1},
  };
  for (const auto& c : cases) {
    size_t asked = 0;
    SampleNumberChoice r = ChooseSampleNumber(
        c.counter, c.retest, c.entered, [&](uint32_t n) { return stored.count(n) > 0; },
        [&](uint32_t) { return asked < c.answers.size() ? c.answers[asked++] : A::Cancel; });
    EXPECT_EQ(r.start, c.start) << c.counter;
    EXPECT_EQ(r.counter, c.after) << c.counter;
    EXPECT_EQ(static_cast<int>(asked), c.asked) << c.counter;
    EXPECT_EQ(r.noNumberLeft, c.noNumberLeft) << c.counter;
  }
  EXPECT_EQ(ExistingSampleQuestion(7), "Sample 7 existed, if retest, new result will cover previous result,skip?");
}

TEST(SampleNumber, OnlyARowWithValuesIsAResult) {
  MeasurementFolder folder;
  Exec("insert into Person (SampleNo, TestDate, WBC) values ('5', '2026-01-05', '6.10')");
  Exec("insert into Person (SampleNo, TestDate, Name) values ('6', '2026-01-05', 'Profile only')");
  CADOConn conn;
  EXPECT_TRUE(SampleHasResult(conn, 5, "2026-01-05"));
  EXPECT_FALSE(SampleHasResult(conn, 6, "2026-01-05"));
  EXPECT_FALSE(SampleHasResult(conn, 5, "2026-01-06"));
}
