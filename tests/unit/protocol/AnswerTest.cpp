#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TestBytes.h"
#include "protocol/Answer.h"
#include "protocol/FailureText.h"

namespace dialvane {
namespace {

using S = ResponseStatus;

const std::string kFF = "\x0C";
const std::string kFrame = "wHwABQADYAEA";  // C0 7C 00 05 00 03 60 01 00

std::string Ack(std::string_view connection, std::string_view code) {
    return "@QNL SDC FAXTOOL=8\r\n" + std::string(connection) + std::string(code) + kFF;
}

std::string Data(std::string_view base64, std::string_view head = "00010000") {
    return "@QNL SDC FAXTOOL=" + std::to_string(8 + base64.size()) + "\r\n" + std::string(head) +
           std::string(base64) + kFF;
}

AnswerClassification Classify(const std::string& text) {
    return ClassifyAnswer(std::string_view(text), "0001");
}

TEST(ClassifyAnswer, Acknowledgements) {
    EXPECT_EQ(Classify(Ack("0001", "00FC")).status, S::QNL_NACK);
    EXPECT_EQ(Classify(Ack("0001", "00fc")).nackCode, 0xFC);
    EXPECT_EQ(Classify(Ack("0001", "0000")).status, S::QNL_ACK);
    EXPECT_EQ(Classify(Ack("0001", "0000")).nackCode, 0);
    EXPECT_EQ(Classify(Ack("0001", "00G0")).status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify(Ack("0002", "00FC")).status, S::QNL_ERR_CONNECT_NO);
    EXPECT_FALSE(Classify(Ack("0002", "00FC")).nackCode);
    // The missing form feed wins over the wrong connection number.
    const std::string noEnd = "@QNL SDC FAXTOOL=8\r\n000200FC";
    EXPECT_EQ(Classify(noEnd).status, S::QNL_ERR_SIZE);
    EXPECT_EQ(Classify(noEnd + "x").status, S::QNL_ERR_SIZE);
    EXPECT_EQ(Classify("@QNL SDC TOOL=8\r\n00010000" + kFF).status, S::QNL_ERR_FORMAT);
}

TEST(ClassifyAnswer, NameAnswersAndOtherText) {
    EXPECT_EQ(Classify("@QNL ANSWER NAME=\"DX-R7700\"\r\n").status, S::QNL_ANS);
    EXPECT_EQ(Classify("@QNL ANSWER NAME=\"DX-R7700\"\r\n").modelName, "DX-R7700");
    EXPECT_EQ(Classify("@QNL ANSWER NAME= \"DX C3500\" \r\n").modelName, "DX C3500");
    EXPECT_EQ(Classify("@QNL ANSWER NAME=" + std::string(70, 'M') + "\r\n").modelName,
              std::string(63, 'M'));
    // A form feed left over from the previous answer does not end up in the name.
    EXPECT_EQ(Classify(kFF + "@QNL ANSWER NAME=\"DX-R7700\"\r\n").modelName, "DX-R7700");
    EXPECT_EQ(Classify("@PJL HELLO\r\n").status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify("@PJL HELLO\r\n").modelName, "");
    EXPECT_EQ(Classify("@QNL ANSWER NAME=\"DX-R7700\"").status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify("").status, S::QNL_NONE);
    EXPECT_EQ(Classify("@QNL SDC FAXTOOL=99999999999\r\n").status, S::QNL_ERR_FORMAT);
}

TEST(ClassifyAnswer, DataAnswers) {
    const AnswerClassification res = Classify(Data(kFrame));
    EXPECT_EQ(res.status, S::QNL_RES);
    EXPECT_EQ(res.frame, testing::Hex("C0 7C 00 05 00 03 60 01 00"));
    EXPECT_EQ(Classify(Data(kFrame, "00020000")).status, S::QNL_ERR_CONNECT_NO);
    EXPECT_EQ(Classify(Data(kFrame, "000100FC")).status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify(Data("wHwABQADYAE!")).status, S::QNL_ERR_FORMAT);
    EXPECT_EQ(Classify(Data("wHwABQADYAE")).status, S::QNL_ERR_FORMAT);
    std::string shortened = Data(kFrame);
    shortened.pop_back();
    EXPECT_EQ(Classify(shortened).status, S::QNL_ERR_SIZE);
    // An answer shorter than its connection number and result code is never decoded.
    for (const char* n : {"0", "7", "-3"}) {
        const auto small = Classify("@QNL SDC FAXTOOL=" + std::string(n) + "\r\n00010000" + kFF);
        EXPECT_EQ(small.status, S::QNL_ERR_FORMAT) << n;
        EXPECT_FALSE(small.frame);
    }
}

TEST(AnswerState, AnAnswerWithoutANameClearsTheLastOne) {
    AnswerState state;
    state.Apply(Classify("@QNL ANSWER NAME=\"X1\"\r\n"));
    EXPECT_EQ(state.modelName, "X1");
    state.Apply(Classify("junk\r\n"));
    EXPECT_EQ(state.modelName, "");
}

AnswerScan Scan(std::string_view text) {
    return ScanAnswer(text, "0001");
}

TEST(ScanAnswer, GarbageIsDroppedWithoutSwallowingTheNextAnswer) {
    EXPECT_EQ(Scan("\r\n" + Ack("0001", "0000")).consumed, 2u);
    const AnswerScan endless = Scan(std::string(kMaxAnswerLine + 1, 'x'));
    EXPECT_EQ(endless.state, ScanState::Garbage);
    EXPECT_EQ(endless.consumed, kMaxAnswerLine + 1);

    const std::string wrongLength = "@QNL SDC FAXTOOL=30\r\n00010000AAAA" + kFF;
    const AnswerScan broken = Scan(wrongLength + Ack("0001", "0000") + std::string(20, 'y'));
    EXPECT_EQ(broken.state, ScanState::Garbage);
    EXPECT_EQ(broken.answer.status, S::QNL_ERR_SIZE);
    EXPECT_EQ(broken.consumed, wrongLength.size());
    EXPECT_EQ(Scan("@QNL SDC FAXTOOL=4\r\n0001" + kFF).state, ScanState::Garbage);
}

TEST(ScanAnswer, AnswersInRandomChunksArriveWholeAndInOrder) {
    std::mt19937 random(7771);
    const std::vector<std::string> answers = {Ack("0001", "0000"), Ack("0001", "00FC"),
                                              Data(kFrame), Data("AAA="),
                                              "@QNL ANSWER NAME=\"DX-R7700\"\r\n"};
    for (int round = 0; round < 2000; ++round) {
        std::string stream;
        std::vector<S> sent;
        for (int i = 0, count = 1 + static_cast<int>(random() % 6); i < count; ++i) {
            const std::string& answer = answers[random() % answers.size()];
            stream += answer;
            sent.push_back(Classify(answer).status);
        }
        std::string buffered;
        std::vector<S> received;
        for (std::size_t fed = 0; fed < stream.size();) {
            const std::size_t chunk = 1 + random() % 40;
            buffered += stream.substr(fed, chunk);
            fed += chunk;
            for (AnswerScan scan = Scan(buffered); scan.state != ScanState::Incomplete;
                 scan = Scan(buffered)) {
                ASSERT_EQ(scan.state, ScanState::Complete);
                received.push_back(scan.answer.status);
                buffered.erase(0, scan.consumed);
            }
        }
        ASSERT_EQ(received, sent);
        ASSERT_TRUE(buffered.empty());
    }
}

TEST(FailureText, UnknownCodesAndStatusesStillGetAMessage) {
    EXPECT_TRUE(IsKnownNackCode(0xF9) && IsKnownNackCode(0xFF));
    EXPECT_FALSE(IsKnownNackCode(0xF8) || IsKnownNackCode(0x1FC));
    EXPECT_EQ(FailureText(S::QNL_NACK, 0xA1B2), "The MFP refused the command (error code A1B2).");
    EXPECT_EQ(FailureText(static_cast<S>(42), 0), "その他の異常");
    EXPECT_EQ(FailureText(S::QNL_NONE, 0), "");
    EXPECT_EQ(FailureLogLine(S::QNL_NACK, "Fax is BUSY"),
              "QNLコマンド異常応答: STAT=2(QNL_NACK) Fax is BUSY");
}

}  // namespace
}  // namespace dialvane
