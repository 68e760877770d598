// For every NC function, each FOCAS2 call it makes is failed in turn: the
// function must return that call's code, make no call after it, and leave its
// output as promised (untouched, or set to its failure value).
#include <functional>

#include "support/test_support.h"

namespace tavrin::test {
namespace {

constexpr short kInjected = EW_DATA;

struct Outcome {
  short code;
  bool output_as_promised;
};

struct Operation {
  const char* name;
  std::function<Outcome(unsigned short)> run;
};

template <typename T>
Outcome Untouched(short code, const T& value, const T& sentinel) {
  return Outcome{code, std::memcmp(&value, &sentinel, sizeof value) == 0};
}

std::vector<Operation> Operations() {
  return {
      {"GetPathMax", [](unsigned short h) { short m = 9; short c = lib_GetPathMax(h, &m); return Outcome{c, m == -1}; }},
      {"ReadCncParam_Bit", [](unsigned short h) { bool v[32] = {true}; bool s[32] = {true};
         return Untouched(lib_ReadCncParam_Bit(h, 1002, 1, -1, v), v, s); }},
      {"ReadCncParam_Byte", [](unsigned short h) { char v = 9; return Untouched(lib_ReadCncParam_Byte(h, 1020, 1, &v), v, char(9)); }},
      {"ReadCncParam_Word", [](unsigned short h) { short v = 9; return Untouched(lib_ReadCncParam_Word(h, 1320, 1, &v), v, short(9)); }},
      {"ReadCncParam_2Word", [](unsigned short h) { tavrin_long v = 9; return Untouched(lib_ReadCncParam_2Word(h, 1400, 0, &v), v, tavrin_long(9)); }},
      {"ReadCncParam_Real", [](unsigned short h) { double v = 9; return Untouched(lib_ReadCncParam_Real(h, 1421, 1, &v), v, 9.0); }},
      {"WriteCncParam_Bit", [](unsigned short h) { return Outcome{lib_WriteCncParam_Bit(h, 1002, 1, 1, true), true}; }},
      {"WriteCncParam_Byte", [](unsigned short h) { return Outcome{lib_WriteCncParam_Byte(h, 1020, 1, 3), true}; }},
      {"WriteCncParam_Word", [](unsigned short h) { return Outcome{lib_WriteCncParam_Word(h, 1320, 1, 3), true}; }},
      {"WriteCncParam_2Word", [](unsigned short h) { return Outcome{lib_WriteCncParam_2Word(h, 1400, 0, 3), true}; }},
      {"WriteCncParam_Real", [](unsigned short h) { return Outcome{lib_WriteCncParam_Real(h, 1421, 1, 3.5), true}; }},
      {"ReadCncParam", [](unsigned short h) { short c = 0; double v = lib_ReadCncParam(h, 1002.1, 1, 0, &c); return Outcome{c, v == 0.0}; }},
      {"WriteCncParam bit", [](unsigned short h) { return Outcome{lib_WriteCncParam(h, 1002.1, 1, 0, 1.0), true}; }},
      {"WriteCncParam real", [](unsigned short h) { return Outcome{lib_WriteCncParam(h, 1421, 1, 8, 1.5), true}; }},
      {"ReadPmcParam_Bit", [](unsigned short h) { bool v = true; return Untouched(lib_ReadPmcParam_Bit(h, 'F', 4, 3, &v), v, true); }},
      {"ReadPmcParam_Byte", [](unsigned short h) { char v = 9; return Untouched(lib_ReadPmcParam_Byte(h, 'D', 9550, &v), v, char(9)); }},
      {"ReadPmcParam_Word", [](unsigned short h) { short v = 9; return Untouched(lib_ReadPmcParam_Word(h, 'D', 100, &v), v, short(9)); }},
      {"ReadPmcParam_2Word", [](unsigned short h) { tavrin_long v = 9; return Untouched(lib_ReadPmcParam_2Word(h, 'D', 100, &v), v, tavrin_long(9)); }},
      {"WritePmcParam_Bit", [](unsigned short h) { return Outcome{lib_WritePmcParam_Bit(h, 'D', 9550, 2, true), true}; }},
      {"WritePmcParam_Byte", [](unsigned short h) { return Outcome{lib_WritePmcParam_Byte(h, 'D', 9550, 2), true}; }},
      {"WritePmcParam_Word", [](unsigned short h) { return Outcome{lib_WritePmcParam_Word(h, 'D', 100, 2), true}; }},
      {"WritePmcParam_2Word", [](unsigned short h) { return Outcome{lib_WritePmcParam_2Word(h, 'D', 100, 2), true}; }},
      {"ReadPCode", [](unsigned short h) { double v = 9; short c = lib_ReadPCode(h, 500, &v); return Outcome{c, v == 0.0}; }},
      {"ReadPluralPCode", [](unsigned short h) { double v[3] = {9, 9, 9}; double s[3] = {9, 9, 9};
         return Untouched(lib_ReadPluralPCode(h, 500, 3, v), v, s); }},
      {"WritePCode", [](unsigned short h) { return Outcome{lib_WritePCode(h, 500, 1.5), true}; }},
      {"WritePluralPCode", [](unsigned short h) { return Outcome{lib_WritePluralPCode(h, 500, 3, 1.5), true}; }},
      {"ReadOffsetWearX", [](unsigned short h) { double v = 9; return Untouched(lib_ReadOffsetWearX(h, 1, &v), v, 9.0); }},
      {"ReadOffsetGeometryT", [](unsigned short h) { tavrin_long v = 9; return Untouched(lib_ReadOffsetGeometryT(h, 1, &v), v, tavrin_long(9)); }},
      {"WriteOffsetGeometryY", [](unsigned short h) { return Outcome{lib_WriteOffsetGeometryY(h, 1, 2.5), true}; }},
      {"WriteOffsetWearT", [](unsigned short h) { return Outcome{lib_WriteOffsetWearT(h, 1, 2), true}; }},
  };
}

class FaultSweepTest : public CncTest {
 protected:
  void SetUp() override {
    CncTest::SetUp();
    sim::DefineParam(1, 1002, sim::ParamKind::Bit, true);
    sim::DefineParam(1, 1020, sim::ParamKind::Byte, true);
    sim::DefineParam(1, 1320, sim::ParamKind::Word, true);
    sim::DefineParam(1, 1400, sim::ParamKind::TwoWord, false);
    sim::DefineParam(1, 1421, sim::ParamKind::Real, true, 3);
    sim::ClearJournal();
  }
};

TEST_F(FaultSweepTest, EveryCallOfEveryFunctionFailsCleanly) {
  for (const Operation& op : Operations()) {
    SCOPED_TRACE(op.name);
    sim::ClearJournal();
    ASSERT_EQ(0, op.run(handle_).code);
    std::vector<sim::JournalEntry> calls = sim::Journal();
    ASSERT_FALSE(calls.empty());

    for (std::size_t failing = 0; failing < calls.size(); ++failing) {
      SCOPED_TRACE(sim::CallName(calls[failing].call));
      // Fail the same occurrence of that call as in the clean run.
      int occurrence = 0;
      for (std::size_t i = 0; i <= failing; ++i) occurrence += calls[i].call == calls[failing].call;
      sim::ClearJournal();
      sim::FailNth(calls[failing].call, occurrence, kInjected);
      Outcome outcome = op.run(handle_);
      sim::ClearFailures();

      EXPECT_EQ(kInjected, outcome.code);
      EXPECT_TRUE(outcome.output_as_promised);
      auto made = sim::Journal();
      ASSERT_EQ(failing + 1, made.size()) << "calls made after the failure";
      EXPECT_EQ(kInjected, made.back().result);
    }
  }
}

}  // namespace
}  // namespace tavrin::test
