// __chkstk: the compiler calls it before a function makes a stack frame larger than a page, with
// the size in rax, so that each page is touched in order and the system's guard page grows the
// stack (a frame that skipped it would fault). The Visual C++ run-time's static part provides
// it; this is the same, for x64.
extern "C" __attribute__((naked)) void __chkstk()
{
    __asm__(R"(
        push %rcx
        push %rax
        cmp $0x1000, %rax
        lea 24(%rsp), %rcx
        jb 2f
    1:
        sub $0x1000, %rcx
        test %rcx, (%rcx)
        sub $0x1000, %rax
        cmp $0x1000, %rax
        ja 1b
    2:
        sub %rax, %rcx
        test %rcx, (%rcx)
        pop %rax
        pop %rcx
        ret
    )");
}
