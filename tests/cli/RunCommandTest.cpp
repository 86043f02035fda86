// SPDX-License-Identifier: MIT
#include "cli/RunCommand.h"
#include "ai/AITestSupport.h"
#include "settings/Preferences.h"

using namespace std::chrono_literals;

namespace {

class RunCommandTest : public AIBackendTest {
protected:
    void SetUp() override { setDefault(DefaultsKey::proxyBaseURL, server.baseURL()); }

    // Runs the command as `quillmark run ARGUMENTS…` with `input` on standard input.
    int run(const QStringList& arguments, const QByteArray& input = {})
    {
        out.clear();
        err.clear();
        inputRead = false;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        CliIO io{outStream, errStream, [this, input] {
                     inputRead = true;
                     return input;
                 }};
        const int code = await(runCommand(arguments, io, fakeClock, keyring.store, preferences));
        outStream.flush();
        errStream.flush();
        return code;
    }

    QString out;
    QString err;
    bool inputRead = false;
};

TEST_F(RunCommandTest, AResultKeepsTheOriginalEdgesAndAFailureCountsNothing)
{
    server.enqueue(LoopbackServer::Reply::json(
        200,
        R"({"text":"\nThis sentence has two mistakes. ","usage":{"prompt_tokens":12,"completion_tokens":8}})"));
    server.enqueue(LoopbackServer::Reply::json(
        429, R"({"error":"QUOTA_EXCEEDED","message":"QUOTA_EXCEEDED: Monthly limit reached."})"));
    server.onRequest = [this](const auto&) { fakeClock.advance(250ms); };

    EXPECT_EQ(run({"fixGrammar"}, "  this sentance have two mistake\n"), 0);
    EXPECT_EQ(out, "  This sentence has two mistakes.\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(
        server.requests().first().json(),
        QJsonObject({{"action", "fixGrammar"}, {"text", "  this sentance have two mistake\n"}}));

    EXPECT_EQ(run({"rewrite-formal", "hey there"}), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "Monthly limit reached.\n");
    EXPECT_FALSE(inputRead);
    EXPECT_EQ(
        log.lines(),
        QStringList({"info ai: fixGrammar start (33 chars in)",
                     "info ai: fixGrammar ok in 250ms (in 12 out 8 tok)",
                     "info ai: rewrite-formal start (9 chars in)",
                     "error ai: rewrite-formal failed: QUOTA_EXCEEDED: Monthly limit reached."}));
    EXPECT_EQ(preferences.monthlyUsage(fakeClock), Preferences::Usage({12, 8}));
}

TEST_F(RunCommandTest, LengthLimitCountsCharactersNotCodeUnits)
{
    server.setReply(LoopbackServer::Reply::json(200, R"({"text":"ok"})"));

    // 12,000 characters, each two UTF-16 code units.
    const QString atLimit = QString(u"😀"_qs).repeated(12000);
    EXPECT_EQ(run({"fixGrammar"}, atLimit.toUtf8()), 0);
    EXPECT_EQ(server.requests().size(), 1);

    log.sink.clear();
    EXPECT_EQ(run({"fixGrammar", QString(12001, u'a')}), 1);
    EXPECT_EQ(err, "Selection too large (12001 / 12,000 characters).\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(RunCommandTest, LanguageFromTheOptionOrThePreference)
{
    server.setReply(LoopbackServer::Reply::json(200, R"({"text":"ok"})"));
    setDefault(DefaultsKey::targetLanguageID, "fr");

    EXPECT_EQ(run({"translate", "Hello"}), 0);
    EXPECT_EQ(run({"translate", "Hello", "--language", "de"}), 0);
    EXPECT_EQ(run({"translate", "--language", "tr", "--", "--Hello"}), 0);

    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[0].json()["targetLanguage"], "fr");
    EXPECT_EQ(server.requests()[1].json()["targetLanguage"], "de");
    EXPECT_EQ(
        server.requests()[2].json(),
        QJsonObject({{"action", "translate"}, {"targetLanguage", "tr"}, {"text", "--Hello"}}));
}

TEST_F(RunCommandTest, BadCommandLinesSendNothing)
{
    struct Row {
        QStringList arguments;
        QByteArray input;
        QString error;
    };
    const Row rows[] = {
        // clang-format off
        {{}, "", "quillmark run: missing ACTION. Usage: quillmark run ACTION [--language ID] [TEXT]\n"},
        {{"shout", "hi"}, "", "quillmark run: unknown action 'shout' (expected translate, fixGrammar, improvePrompt, rewrite-TONE with TONE one of business, friendly, casual, formal, concise, or custom:INSTRUCTION)\n"},
        {{"rewrite-loud", "hi"}, "", ""},
        {{"translate", "--language", "xx", "hi"}, "", "quillmark run: unknown language 'xx' (expected one of en, ka, ru, uk, de, fr, es, it, pt, tr)\n"},
        {{"translate", "hi", "--language"}, "", ""},
        {{"fixGrammar", "--verbose", "hi"}, "", "quillmark run: unknown option '--verbose'\n"},
        {{"fixGrammar", "one", "two"}, "", ""},
        {{"custom: \n\t", "hi"}, "", "quillmark run: the custom instruction is empty (use custom:INSTRUCTION)\n"},
        {{"fixGrammar"}, "", "quillmark run: no text: give TEXT or pipe it on standard input\n"},
        {{"fixGrammar", ""}, "stdin is not read", ""},
        {{"fixGrammar"}, " \n\t\u3000", ""},
        {{"fixGrammar", " \r\n"}, "", ""},
        // clang-format on
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        EXPECT_EQ(run(row.arguments, row.input), 2);
        EXPECT_EQ(out, "");
        if (!row.error.isEmpty()) {
            EXPECT_EQ(err, row.error);
        }
        EXPECT_TRUE(err.startsWith("quillmark run: "));
        EXPECT_EQ(err.count(u'\n'), 1);
        EXPECT_TRUE(err.endsWith(u'\n'));
    }
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());
}

} // namespace
