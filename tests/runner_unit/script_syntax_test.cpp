#include "apps/tavo_run/script_syntax.h"

#include <gtest/gtest.h>

#include "tavo/host/date.h"

namespace tavo {
namespace {

using Tokens = std::vector<std::string>;

TEST(SplitTokens, KeepsQuotedTextsAndDatesWithTimesWhole) {
    EXPECT_EQ(splitTokens(R"(set Cal1.CustomFormat "dd MM \"yy\"")"),
              (Tokens{"set", "Cal1.CustomFormat", R"("dd MM \"yy\"")"}));
    EXPECT_EQ(splitTokens("expect Cal1.Value #2000-08-21 14:30:00#  "),
              (Tokens{"expect", "Cal1.Value", "#2000-08-21 14:30:00#"}));
    EXPECT_EQ(splitTokens(R"(set Cal1.Font font:"MS Sans Serif",8,bold)"),
              (Tokens{"set", "Cal1.Font", R"(font:"MS Sans Serif",8,bold)"}));
}

TEST(SplitTokens, HashStartsACommentOnlyWhereNoDateCanStart) {
    EXPECT_TRUE(splitTokens("   # a comment").empty());
    EXPECT_TRUE(splitTokens("#").empty());
    EXPECT_EQ(splitTokens("get Cal1.Value # then #1 more"), (Tokens{"get", "Cal1.Value"}));
    EXPECT_EQ(splitTokens("expect Cal1.Font Font#3"), (Tokens{"expect", "Cal1.Font", "Font#3"}));
    EXPECT_EQ(splitTokens(R"(key Cal1.cal "#")"), (Tokens{"key", "Cal1.cal", R"("#")"}));
}

TEST(SplitTokens, RejectsUnterminatedTextsAndDates) {
    EXPECT_THROW(splitTokens(R"(set A.B "open)"), ScriptSyntaxError);
    EXPECT_THROW(splitTokens(R"(set A.B "ends in escape\")"), ScriptSyntaxError);
    EXPECT_THROW(splitTokens("set A.B #2000-01-01"), ScriptSyntaxError);
}

TEST(Quote, EscapesRoundTrip) {
    const std::string text = "Zeile 1\r\nSet \"x\" = C:\\tmp\t!";
    EXPECT_EQ(quote(text), R"("Zeile 1\r\nSet \"x\" = C:\\tmp\t!")");
    EXPECT_EQ(unquote(quote(text)), text);
    EXPECT_THROW(unquote(R"("bad \q")"), ScriptSyntaxError);
    EXPECT_THROW(unquote("bare"), ScriptSyntaxError);
}

TEST(ParsePath, ReadsSegmentsAndTheirArguments) {
    const Path p = parsePath(R"x(Tree1.node("a.b)").Expanded)x");
    ASSERT_EQ(p.segments.size(), 3u);
    EXPECT_EQ(p.segments[0].name, "Tree1");
    EXPECT_FALSE(p.segments[0].hasArg);
    EXPECT_EQ(p.segments[1].name, "node");
    EXPECT_TRUE(p.segments[1].argQuoted);
    EXPECT_EQ(p.segments[1].argText, "a.b)");
    EXPECT_EQ(p.segments[2].name, "Expanded");

    const Path q = parsePath("Ctl1.img(2).Picture");
    EXPECT_EQ(q.segments[1].argText, "2");
    EXPECT_FALSE(q.segments[1].argQuoted);
    EXPECT_EQ(parsePath("Tree1.node(k-1.x)").segments[1].argText, "k-1.x");
}

TEST(ParsePath, RejectsMalformedPaths) {
    for (const char* bad : {"", ".A", "A.", "A..B", "1A.B", "A.B(", "A.B()", "A.B(1)x", "A.B-C", "A.(1)"})
        EXPECT_THROW(parsePath(bad), ScriptSyntaxError) << bad;
}

TEST(ParseValue, NumbersTakeTheNarrowestHostType) {
    EXPECT_EQ(parseValue("32767").plain.type(), VarType::Integer);
    EXPECT_EQ(parseValue("-32768").plain.type(), VarType::Integer);
    EXPECT_EQ(parseValue("32768").plain.type(), VarType::Long);
    EXPECT_EQ(parseValue("3000000000").plain.type(), VarType::Double);
    const ValueLiteral half = parseValue("-12.5");
    EXPECT_EQ(half.plain.type(), VarType::Double);
    EXPECT_EQ(half.plain.toDouble(), -12.5);
}

TEST(ParseValue, HexFollowsTheHostsLiteralWidths) {
    const ValueLiteral window = parseValue("&H80000005&");
    EXPECT_TRUE(window.hex);
    EXPECT_EQ(window.plain.type(), VarType::Long);
    EXPECT_EQ(window.plain.toColour(), 0x80000005u);
    EXPECT_EQ(parseValue("&HFFFF").plain.toLong(), -1);
    EXPECT_EQ(parseValue("&HFFFF&").plain.toLong(), 0xFFFF);
    EXPECT_EQ(parseValue("&hff00ff").plain.toLong(), 0xFF00FF);
    for (const char* bad : {"&H", "&H&", "&HG1", "&H123456789&"}) EXPECT_THROW(parseValue(bad), ScriptSyntaxError) << bad;
}

TEST(ParseValue, DatesTruthTextAndEmptyValues) {
    const ValueLiteral d = parseValue("#2000-08-21#");
    EXPECT_EQ(d.plain.type(), VarType::Date);
    EXPECT_EQ(d.plain.toDouble(), 36759);
    EXPECT_EQ(parseValue("#1899-12-30 06:00:00#").plain.toDouble(), 0.25);
    EXPECT_EQ(parseValue("#9999-12-31#").plain.toDouble(), 2958465);
    EXPECT_EQ(parseValue("true").plain.toBoolean(), -1);
    EXPECT_EQ(parseValue("False").plain.type(), VarType::Boolean);
    EXPECT_TRUE(parseValue("Nothing").plain.isNothing());
    EXPECT_TRUE(parseValue("Empty").plain.isEmpty());
    EXPECT_EQ(parseValue(R"("Abbrechen")").plain.rawString(), "Abbrechen");
    for (const char* bad : {"#2000-02-30#", "#2000-13-01#", "#21.08.2000#", "#2000-08-21 24:00:00#", "##", "Tru"})
        EXPECT_THROW(parseValue(bad), ScriptSyntaxError) << bad;
}

TEST(ParseValue, ObjectsAreNamedForLaterEvaluation) {
    const ValueLiteral pic = parseValue(R"(picture:"my pics/arrow.gif")");
    EXPECT_EQ(pic.kind, ValueLiteral::Kind::Picture);
    EXPECT_EQ(pic.name, "my pics/arrow.gif");
    EXPECT_EQ(parseValue("picture:a.bmp").name, "a.bmp");

    const ValueLiteral font = parseValue(R"(font:"Arial, Narrow",9.75,italic,bold)");
    EXPECT_EQ(font.kind, ValueLiteral::Kind::Font);
    EXPECT_EQ(font.name, "Arial, Narrow");
    EXPECT_EQ(font.fontSize, 9.75);
    EXPECT_TRUE(font.bold && font.italic);

    const ValueLiteral node = parseValue("node:Tree1.k.1");
    EXPECT_EQ(node.kind, ValueLiteral::Kind::NodeRef);
    EXPECT_EQ(node.name, "Tree1");
    EXPECT_EQ(node.key, "k.1");

    EXPECT_EQ(parseValue("ref:Tree1").name, "Tree1");
    const ValueLiteral printed = parseValue("SSActiveTreeView.SSTree#12");
    EXPECT_EQ(printed.kind, ValueLiteral::Kind::Printed);
    EXPECT_EQ(printed.key, "SSActiveTreeView.SSTree");
    EXPECT_EQ(printed.printedId, 12);

    for (const char* bad : {"font:Arial,8", R"(font:"Arial")", R"(font:"Arial",0)", R"(font:"Arial",2049)",
                            R"(font:"Arial",8,underline)", "ref:", "ref:1x", "node:Tree1", "node:.k", "picture:",
                            "#5", "Font#"})
        EXPECT_THROW(parseValue(bad), ScriptSyntaxError) << bad;
}

TEST(ParseKeyName, TakesKeyNamesAndSinglePrintableCharacters) {
    EXPECT_EQ(parseKeyName("esc"), "ESC");
    EXPECT_EQ(parseKeyName("PgDn"), "PGDN");
    EXPECT_EQ(parseKeyName("x"), "x");
    EXPECT_EQ(parseKeyName(R"(" ")"), " ");
    for (const char* bad : {"ESCAPE", "F5", "xy", R"("")", R"("\t")"}) EXPECT_THROW(parseKeyName(bad), ScriptSyntaxError) << bad;
}

TEST(ParseScriptDate, AcceptsOptionalMinutesAndSeconds) {
    EXPECT_EQ(parseScriptDate("2000-08-21 12:00"), 36759.5);
    EXPECT_EQ(parseScriptDate("1601-01-01"), -109205);
    for (const char* bad : {"2000-08", "2000-08-21 12", "2000-08-21T12:00", "2000-08-21 12:00:00:00", "99999-01-01"})
        EXPECT_THROW(parseScriptDate(bad), ScriptSyntaxError) << bad;
}

TEST(FormatNumber, PrintsWholeNumbersPlainAndSinglesShort) {
    EXPECT_EQ(formatNumber(3015), "3015");
    EXPECT_EQ(formatNumber(-1), "-1");
    EXPECT_EQ(formatNumber(12.5), "12.5");
    EXPECT_EQ(formatNumber(static_cast<float>(0.1)), "0.1");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatColour(0x80000005u), "&H80000005&");
    EXPECT_EQ(formatColour(0), "&H0&");
}

}  // namespace
}  // namespace tavo
