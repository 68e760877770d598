// CLibXml: cutting lines into CLibXmlinf records (every field, every null
// case, the part limits), lines in pieces, writing, and the streams' owner.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/sim_folder.h"
#include "support/text_mode.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::test {
namespace {

const std::string N = "(null)";
std::string Of(const char* field) { return field != nullptr ? field : N; }

class XmlLineTest : public ::testing::Test {
 protected:
  void Load(const std::string& contents) {
    WriteFile(file(), contents);
    ASSERT_EQ(1, xml_.OpenXmlFileForRead(file().c_str()));
  }
  std::string file() const { return (folder_.path() / "lines.xml").string(); }

  TemporaryFolder folder_;
  CLibXml xml_;
  char line_[512] = {};
  CLibXmlinf info_;
};

TEST_F(XmlLineTest, EveryFieldAndEveryNullCase) {
  const std::string t126(126, 't'), t127(127, 't'), x254(254, 'x'), x255(255, 'x');
  struct Case {
    std::string line;
    bool got;
    std::string tag, text, attr1_value, attr2_name, attr2_value;
  } cases[] = {
      {"<name>S11</name>\n", true, "name", "S11", N, N, N},
      {"\t  <latheassembly>\n", true, "latheassembly", N, N, N, N},
      {"</matrix>\n", true, "/matrix", N, N, N, N},
      {"<matrix>1,2</matrix>\r\n", true, "matrix", "1,2", N, N, N},  // the CR stays in the line only
      {"<a b=\"1\" c=\"2\"/>\n", true, "a b", N, "1", "c", "2"},
      {"<part file=\"x.stl\"/>\n", true, "part file", N, "x.stl", N, N},
      {"<fixture/>\n", true, "fixture/", N, N, N, N},                     // keeps its slash
      {"<a b=\"1/>\n", true, "a b", N, N, N, N},                          // one quote
      {"<a b=\"x=y\" c=\"z\"/>\n", true, "a b", N, "x=y", N, " c="},      // '=' inside the first value
      {"<a b=\"1\"c=\"2\"/>\n", true, "a b", N, "1", "", "2"},            // no blank: name loses a letter
      {"\n", false, N, N, N, N, N},
      {"plain text\n", false, N, N, N, N, N},
      {"> and <\n", true, N, " and ", N, N, N},                           // '>' before '<'
      {"<" + t126 + ">\n", true, t126, N, N, N, N},
      {"<" + t127 + ">" + x254 + "</x>\n", true, N, x254, N, N, N},       // overlong tag, text still cut
      {"<n>" + x255 + "</n>\n", true, "n", N, N, N, N},
      {"<a b=\"" + x255 + "\" " + t127 + "=\"v\"/>\n", true, "a b", N, N, N, "v"},
      {"<a b=\"1\" " + t126 + "=\"" + x254 + "\"/>\n", true, "a b", N, "1", t126, x254},
  };
  std::string file;
  for (const Case& c : cases) file += c.line;
  Load(file);
  for (const Case& c : cases) {
    char* got = xml_.GetNextLine(line_, sizeof line_, &info_);
    EXPECT_EQ(c.got ? line_ : nullptr, got) << c.line;
    EXPECT_EQ(AsReadInTextMode(c.line), line_);
    EXPECT_EQ(c.tag, Of(info_.tag)) << c.line;
    EXPECT_EQ(c.text, Of(info_.text)) << c.line;
    EXPECT_EQ(c.attr1_value, Of(info_.attr1Value)) << c.line;
    EXPECT_EQ(c.attr2_name, Of(info_.attr2Name)) << c.line;
    EXPECT_EQ(c.attr2_value, Of(info_.attr2Value)) << c.line;
  }
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, sizeof line_, &info_));  // end of file
  EXPECT_STREQ("", line_);
}

TEST_F(XmlLineTest, LongLinesComeInPiecesAndTheLastLineNeedsNoLineEnd) {
  std::string long_line = "<name>" + std::string(600, 'y') + "</name>\n";
  Load(long_line + "<last>");
  std::string joined;
  while (std::strcmp(line_, "<last>") != 0) {
    xml_.GetNextLine(line_, 512, &info_);
    ASSERT_NE('\0', line_[0]);
    joined += line_;
  }
  EXPECT_EQ("last", Of(info_.tag));
  EXPECT_EQ(long_line + "<last>", joined);
}

TEST_F(XmlLineTest, SmallBuffersAndRefusedCalls) {
  CLibXmlinf untouched{line_, line_, line_, line_, line_};
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 512, &untouched));  // nothing open
  EXPECT_EQ(line_, untouched.tag);
  EXPECT_EQ(0, xml_.OpenXmlFileForRead((folder_.path() / "none.xml").string().c_str()));
  EXPECT_EQ(0, xml_.OpenXmlFileForWrite((folder_.path() / "no" / "folder.xml").string().c_str()));

  Load("<a>\n<bc>\n");
  char small[4];
  ASSERT_NE(nullptr, xml_.GetNextLine(small, sizeof small, &info_));
  EXPECT_STREQ("<a>", small);
  EXPECT_EQ(nullptr, xml_.GetNextLine(small, sizeof small, &info_));  // the line feed alone
  EXPECT_EQ(nullptr, xml_.GetNextLine(small, sizeof small, &info_));  // "<bc": no '>' in this piece
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 1, &info_));
  EXPECT_EQ(nullptr, xml_.GetNextLine(line_, 512, nullptr));
}

TEST_F(XmlLineTest, WritingIsVerbatimAndACopyOwnsNoStream) {
  std::string out = (folder_.path() / "out.xml").string();
  EXPECT_EQ(0, xml_.SetStr("before open"));
  ASSERT_EQ(1, xml_.OpenXmlFileForWrite(out.c_str()));
  EXPECT_EQ(7, xml_.SetStr("<a>%d\r\n"));
  EXPECT_EQ(0, xml_.SetStr(""));
  EXPECT_EQ(0, CLibXml(xml_).SetStr("lost"));
  std::string big(100000, 'z');
  EXPECT_EQ(100000, xml_.SetStr(big.c_str()));
  xml_.CloseXmlFileForWrite();
  xml_.CloseXmlFileForWrite();  // closing twice is harmless
  EXPECT_EQ(0, xml_.SetStr("after close"));
  EXPECT_EQ(AsWrittenInTextMode("<a>%d\r\n") + big, ReadFile(out));
}

}  // namespace
}  // namespace tavrin::test
