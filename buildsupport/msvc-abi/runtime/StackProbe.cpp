// __chkstk: the compiler calls it before a function makes a stack frame larger than a page, with
// the size in rax, so that each page is touched in order and the system's guard page grows the
// stack (a frame that skipped it would fault). The Visual C++ run-time's static part provides
// it; this is the same, for x64. It pushes two registers, so it carries unwind data (.seh_*)
// like every function that moves the stack: an exception or a crash dump taken inside it
// must still be able to walk past it.
__asm__(R"(
    .text
    .globl __chkstk
    .def __chkstk
    .scl 2
    .type 32
    .endef
    .seh_proc __chkstk
__chkstk:
    push %rcx
    .seh_pushreg %rcx
    push %rax
    .seh_pushreg %rax
    .seh_endprologue
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
    .seh_endproc
)");
