#include "app/logic/ImportLayout.h"

#include <gtest/gtest.h>

using torvane::app::PrevodRadku;

TEST(ImportLayout, LabelMnemonicOperandsAndComment) {
    EXPECT_EQ(PrevodRadku("START:   MOV A , B;x"), "START:\tMOV\tA,B\t;x");
    EXPECT_EQ(PrevodRadku("LOOP: MOV A,#10 ; count"), "LOOP:\tMOV\tA,#10\t; count");
    EXPECT_EQ(PrevodRadku("    mov   r0, @r1"), "\tmov\tr0,@r1");
    EXPECT_EQ(PrevodRadku("  djnz r7 , loop - 2"), "\tdjnz\tr7,loop-2");
    EXPECT_EQ(PrevodRadku("nop"), "\tnop");
}

TEST(ImportLayout, CommentGoesToTheThirdTabStopAndIsCopiedUnchanged) {
    EXPECT_EQ(PrevodRadku("; only:  a comment"), "\t\t\t; only:  a comment");
    EXPECT_EQ(PrevodRadku("X: ;c"), "X:\t\t\t;c");
    EXPECT_EQ(PrevodRadku("  ret ;c"), "\tret\t\t;c");
}

TEST(ImportLayout, EmptyAndBlankLines) {
    EXPECT_EQ(PrevodRadku(""), "");
    EXPECT_EQ(PrevodRadku("   \t  "), "");
}
