#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TestBytes.h"
#include "protocol/Answer.h"
#include "protocol/FailureText.h"

namespace dialvane {
namespace {

using testing::Hex;
using S = ResponseStatus;

const std::string kFF = "\x0C";

std::string Ack(std::string_view connection, std::string_view code) {
    return "@QNL SDC FAXTOOL=8\r\n" + std::string(connection) + std::string(code) + kFF;
}

std::string Data(std::string_view base64, std::string_view connection = "0001",
                 std::string_view code = "0000") {
    return "@QNL SDC FAXTOOL=" + std::to_string(8 + base64.size()) + "\r\n" +
           std::string(connection) + std::string(code) + std::string(base64) + kFF;
}

AnswerClassification Classify(const std::string& text) {
    return ClassifyAnswer(std::string_view(text), "0001");
}

TEST(ClassifyAnswer, Acknowledgements) {
    AnswerClassification busy = Classify(Ack("0001", "00FC"));
    EXPECT_EQ(busy.status, S::QNL_NACK);
    EXPECT_EQ(busy.nackCode, 0xFC);

    AnswerClassification ack = Classify(Ack("0001", "0000"));
    EXPECT_EQ(ack.status, S::QNL_ACK);
    EXPECT_EQ(ack.nackCode, 0);

    EXPECT_EQ(Classify(Ack("0001", "00fd")).nackCode, 0xFD);
    EXPECT_EQ(Classify(Ack("0001", "00G0")).status, S::QNL_ERR_FORMAT);

    AnswerClassification wrongConnection = Classify(Ack("0002", "00FC"));
    EXPECT_EQ(wrongConnection.status, S::QNL_ERR_CONNECT_NO);
    EXPECT_FALSE(wrongConnection.nackCode);

    // A later check overrides an earlier one: the missing form feed wins over the connection.
    std::string noEnd = Ack("0002", "00FC");
    noEnd.back() = 'x';
    EXPECT_EQ(Classify(noEnd).status, S::QNL_ERR_SIZE);
    noEnd.pop_back();
    EXPECT_EQ(Classify(noEnd).status, S::QNL_ERR_SIZE);
    EXPECT_EQ(Classify("@QNL SDC FAXTOOL=8\r\n00").status, S::QNL_ERR_SIZE);

    EXPECT_EQ(Classify("@QNL SDC TOOL=8\r\n00010000" + kFF).status, S::QNL_ERR_FORMAT);
}

TEST(ClassifyAnswer, NameAnswersAndText) {
    AnswerClassification quoted = Classify("@QNL ANSWER NAME=\"DX-R7700\"\r\n");
    EXPECT_EQ(quoted.status, S::QNL_ANS);
    EXPECT_EQ(quoted.modelName, "DX-R7700");

    EXPECT_EQ(Classify("@QNL ANSWER NAME= \"DX C3500 N\" \r\n").modelName, "DX C3500 N");
    EXPECT_EQ(Classify("@QNL ANSWER NAME=" + std::string(70, 'M') + "\r\n").modelName,
              std::string(63, 'M'));
    // A form feed left over from the previous answer does not end up in the name.
    EXPECT_EQ(Classify(kFF + "@QNL ANSWER NAME=\"DX-R7700\"\r\n").modelName, "DX-R7700");

    AnswerClassification unknown = Classify("@PJL HELLO\r\n");
    EXPECT_EQ(unknown.status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(unknown.modelName, "");

    AnswerClassification noLineEnd = Classify("@QNL ANSWER NAME=\"DX-R7700\"");
    EXPECT_EQ(noLineEnd.status, S::QNL_ERR_FORMAT);
    EXPECT_FALSE(noLineEnd.modelName);

    EXPECT_EQ(Classify("").status, S::QNL_NONE);
    EXPECT_EQ(Classify("@QNL SDC FAXTOOL=99999999999\r\n").status, S::QNL_ERR_FORMAT);
}

TEST(ClassifyAnswer, DataAnswers) {
    AnswerClassification res = Classify(Data("wHwABQADYAEA"));
    EXPECT_EQ(res.status, S::QNL_RES);
    EXPECT_EQ(res.frame, Hex("C0 7C 00 05 00 03 60 01 00"));
    EXPECT_FALSE(res.nackCode);

    EXPECT_EQ(Classify(Data("wHwABQADYAEA", "0002")).status, S::QNL_ERR_CONNECT_NO);
    EXPECT_EQ(Classify(Data("wHwABQADYAEA", "0001", "00FC")).status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify(Data("wHwABQADYAE!")).status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify(Data("wHwABQADYAE")).status, S::QNL_ERR_FORMAT);

    std::string shortened = Data("wHwABQADYAEA");
    shortened.pop_back();
    EXPECT_EQ(Classify(shortened).status, S::QNL_ERR_SIZE);
    EXPECT_FALSE(Classify(shortened).frame);

    // A data answer shorter than its connection number and result code is never decoded.
    for (const char* n : {"0", "5", "7", "-3"}) {
        AnswerClassification small =
            Classify("@QNL SDC FAXTOOL=" + std::string(n) + "\r\n00010000" + kFF);
        EXPECT_EQ(small.status, S::QNL_ERR_FORMAT) << n;
        EXPECT_FALSE(small.frame);
    }
}

TEST(AnswerState, KeepsWhatEachAnswerSets) {
    AnswerState state;
    state.Apply(Classify(Ack("0001", "00FC")));
    EXPECT_EQ(state.nackCode, 0xFC);
    state.Apply(Classify(Data("wHwABQADYAEA")));
    EXPECT_EQ(state.status, S::QNL_RES);
    EXPECT_EQ(state.nackCode, 0xFC);
    EXPECT_EQ(state.frameBuffer.size(), 9u);
    state.Apply(Classify(Ack("0001", "0000")));
    EXPECT_EQ(state.nackCode, 0);
    state.Apply(Classify("@QNL ANSWER NAME=\"X1\"\r\n"));
    EXPECT_EQ(state.modelName, "X1");
    state.Apply(Classify("junk\r\n"));
    EXPECT_EQ(state.status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(state.modelName, "");
}

AnswerScan Scan(std::string_view text) {
    return ScanAnswer(text, "0001");
}

TEST(ScanAnswer, EveryPrefixOfAnAnswerWaitsForMore) {
    for (const std::string& answer :
         {Ack("0001", "0000"), Data("wHwABQADYAEA"), std::string("@QNL ANSWER NAME=\"DX\"\r\n")}) {
        for (std::size_t n = 0; n < answer.size(); ++n) {
            const AnswerScan scan = Scan(std::string_view(answer).substr(0, n));
            EXPECT_EQ(scan.state, ScanState::Incomplete) << n;
            EXPECT_EQ(scan.consumed, 0u);
        }
        const AnswerScan whole = Scan(answer);
        EXPECT_EQ(whole.state, ScanState::Complete);
        EXPECT_EQ(whole.consumed, answer.size());
    }
}

TEST(ScanAnswer, SeparatesAnswersThatArriveTogether) {
    const std::string stream = Ack("0001", "00FC") + Ack("0001", "00FC") + Data("wHwABQADYAEA") +
                               "@QNL SDC FAXTOOL=8\r\n0001";
    std::string_view rest = stream;
    std::vector<S> statuses;
    for (AnswerScan scan = Scan(rest); scan.state == ScanState::Complete; scan = Scan(rest)) {
        statuses.push_back(scan.answer.status);
        rest.remove_prefix(scan.consumed);
    }
    EXPECT_EQ(statuses, (std::vector<S>{S::QNL_NACK, S::QNL_NACK, S::QNL_RES}));
    EXPECT_EQ(rest, "@QNL SDC FAXTOOL=8\r\n0001");
}

TEST(ScanAnswer, GarbageIsDroppedWithoutSwallowingTheNextAnswer) {
    const AnswerScan stray = Scan("\r\n" + Ack("0001", "0000"));
    EXPECT_EQ(stray.state, ScanState::Garbage);
    EXPECT_EQ(stray.consumed, 2u);

    const AnswerScan endless = Scan(std::string(kMaxAnswerLine + 1, 'x'));
    EXPECT_EQ(endless.state, ScanState::Garbage);
    EXPECT_EQ(endless.consumed, kMaxAnswerLine + 1);
    EXPECT_EQ(endless.answer.status, S::QNL_ERR_FORMAT);

    // The declared length runs into the next answer: drop only up to it.
    const std::string wrongLength = "@QNL SDC FAXTOOL=30\r\n00010000AAAA" + kFF;
    const std::string next = Ack("0001", "0000") + std::string(20, 'y');
    const AnswerScan broken = Scan(wrongLength + next);
    EXPECT_EQ(broken.state, ScanState::Garbage);
    EXPECT_EQ(broken.answer.status, S::QNL_ERR_SIZE);
    EXPECT_EQ(broken.consumed, wrongLength.size());
    EXPECT_EQ(Scan(next).state, ScanState::Complete);

    const AnswerScan tooSmall = Scan("@QNL SDC FAXTOOL=4\r\n0001" + kFF);
    EXPECT_EQ(tooSmall.state, ScanState::Garbage);
    EXPECT_EQ(tooSmall.answer.status, S::QNL_ERR_FORMAT);
}

TEST(ScanAnswer, RandomChunksAndJunkNeverStallOrLoseAnswers) {
    std::mt19937 random(7771);
    const std::vector<std::string> answers = {Ack("0001", "0000"), Ack("0001", "00FC"),
                                              Data("wHwABQADYAEA"), Data("AAA="),
                                              "@QNL ANSWER NAME=\"DX-R7700\"\r\n"};
    for (int round = 0; round < 2000; ++round) {
        std::string stream;
        std::vector<S> sent;
        const int count = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            const std::string& answer = answers[random() % answers.size()];
            stream += answer;
            sent.push_back(Classify(answer).status);
        }
        // Feed the stream in random chunks, as TCP may deliver it.
        std::string buffered;
        std::vector<S> received;
        std::size_t fed = 0;
        while (fed < stream.size()) {
            const std::size_t chunk = 1 + random() % 40;
            buffered += stream.substr(fed, chunk);
            fed += chunk;
            for (;;) {
                const AnswerScan scan = Scan(buffered);
                if (scan.state == ScanState::Incomplete) {
                    break;
                }
                ASSERT_GT(scan.consumed, 0u);
                ASSERT_EQ(scan.state, ScanState::Complete);
                received.push_back(scan.answer.status);
                buffered.erase(0, scan.consumed);
            }
        }
        ASSERT_EQ(received, sent);
        ASSERT_TRUE(buffered.empty());
    }
}

TEST(ScanAnswer, RandomBytesAreAlwaysConsumedOrAwaited) {
    std::mt19937 random(4242);
    const std::string pieces[] = {"@QNL SDC FAXTOOL=",
                                  "@QNL ANSWER NAME=",
                                  "\r\n",
                                  "\n",
                                  "0001",
                                  "0000",
                                  "8",
                                  "12",
                                  "-1",
                                  "AAA=",
                                  kFF,
                                  "\"",
                                  "x"};
    for (int round = 0; round < 5000; ++round) {
        std::string buffered;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            if (random() % 3 == 0) {
                buffered += static_cast<char>(random());
            } else {
                buffered += pieces[random() % std::size(pieces)];
            }
        }
        std::string_view rest = buffered;
        for (int guard = 0; guard <= static_cast<int>(buffered.size()); ++guard) {
            const AnswerScan scan = Scan(rest);
            ClassifyAnswer(rest, "0001");
            if (scan.state == ScanState::Incomplete) {
                ASSERT_EQ(scan.consumed, 0u);
                break;
            }
            ASSERT_GT(scan.consumed, 0u);
            ASSERT_LE(scan.consumed, rest.size());
            rest.remove_prefix(scan.consumed);
        }
    }
}

TEST(FailureText, EveryStatusHasItsMessage) {
    EXPECT_EQ(FailureText(S::QNL_NONE, 0), "");
    EXPECT_EQ(FailureText(S::QNL_ACK, 0), "Illegal Acknowledgement");
    EXPECT_EQ(FailureText(S::QNL_RES, 0), "フレーム応答(要求した応答と異なります！)");
    EXPECT_EQ(FailureText(S::QNL_ANS, 0), "Channel access failed.");
    EXPECT_EQ(FailureText(S::QNL_ERR_SIZE, 0), "Invalid Command Size.");
    EXPECT_EQ(FailureText(S::QNL_ERR_FORMAT, 0), "Invalid Command Syntax.");
    EXPECT_EQ(FailureText(S::QNL_ERR_CONNECT_NO, 0), "Error at remote terminal.");
    EXPECT_EQ(FailureText(S::QNL_ERR_TIMEOUT, 0), "No response to command.");
    EXPECT_EQ(FailureText(S::QNL_ILL_CMD, 0), "No response to command.");
    EXPECT_EQ(FailureText(S::QNL_ABORT, 0), "Transmission stopped.");
    EXPECT_EQ(FailureText(S::QNL_ERR_DEV, 0), "Make sure the device is properly connected.");
    EXPECT_EQ(FailureText(static_cast<S>(42), 0), "その他の異常");
}

TEST(FailureText, NackCodes) {
    const std::pair<std::uint16_t, const char*> known[] = {
        {0xF9, "Illegal Command Format."},
        {0xFA, "MFP Error."},
        {0xFB, "Read TimeOut."},
        {0xFC, "Fax is BUSY"},
        {0xFD, "Fax Access Error."},
        {0xFE, "Firmware Error in Fax Board."},
        {0xFF, "Transmission with FAX board failed."}};
    for (const auto& [code, text] : known) {
        EXPECT_EQ(FailureText(S::QNL_NACK, code), text);
        EXPECT_TRUE(IsKnownNackCode(code));
    }
    EXPECT_FALSE(IsKnownNackCode(0xF8));
    EXPECT_FALSE(IsKnownNackCode(0x1FC));
    EXPECT_EQ(FailureText(S::QNL_NACK, 0xF8), "The MFP refused the command (error code 00F8).");
    EXPECT_EQ(FailureText(S::QNL_NACK, 0xA1B2), "The MFP refused the command (error code A1B2).");
    EXPECT_EQ(FailureLogLine(S::QNL_NACK, "Fax is BUSY"),
              "QNLコマンド異常応答: STAT=2(QNL_NACK) Fax is BUSY");
}

}  // namespace
}  // namespace dialvane
