@ drawColumn for ARM (ARMv4T, ARM state): the column loop of composeColumn
@ (render/column.cpp), which defines what it does, scheduled by hand for
@ the console's ARM920T. Built only into ARM builds, where the core's tests
@ (under qemu-arm) hold the whole frames it draws to the straightforward
@ passes, at every heading and both detail levels.
@
@   void drawColumn(const uint16_t* offsets, const int32_t* scales,
@                   uint8_t* bottom, const ColumnSource* source)
@
@ The occlusion test, in the form this loop keeps it:
@   K = columnTop - 1 (179 while nothing is drawn),
@   p = scale * depth - 71 * 65536   (one mla with the bias in r7).
@ A sample shows when scale * depth < (columnTop + 70) << 16, that is when
@ p < K << 16, a signed compare. Its height is (p >> 16) + 71, so the new
@ columnTop - 1 is p >> 16 (arithmetic), the span is K - (p >> 16) pixels
@ long, and a negative new K means the sample lies at height 70 or less:
@ the column is drawn up to view row 0 and is done. The scale 0 that ends
@ the column gives p = -71 * 65536, which always shows and always ends it;
@ the end path looks the scale up again to tell the two apart.
@
@ Spans are entered by their length: a run of 180 identical stores, each
@ one pixel up, entered 4 * (180 - length) bytes in.
@
@ Registers:
@   r0 offsets (two a turn)     r1 scales (two a turn)   r2 pixel
@   r3 depth table              r4 colour table          r5 pitch
@   r6 K                        r7 -71 * 65536
@   r8, r9 the pair's offsets, then span lengths
@   r10, r11 the pair's scales, then colours
@   r12 p                       lr depth
@ r4-r11 and lr are saved; the routine calls nothing.

        .text
        .arm
        .align  2
        .global drawColumn
        .type   drawColumn, %function
drawColumn:
        stmfd   sp!, {r4-r11, lr}       @ callee-saved registers
        ldmia   r3, {r3, r4, r5}        @ source: depth, colour, pitch
        ldr     r7, .Lbias              @ -71 * 65536
        mov     r6, #179                @ K: columnTop 180, nothing drawn

.Lpair:
        ldrh    r8, [r0], #4            @ first offset; on to the next pair
        ldrh    r9, [r0, #-2]           @ second offset
        ldrb    lr, [r3, r8]            @ first depth
        ldmia   r1!, {r10, r11}         @ both scales; on to the next pair
        mla     r12, r10, lr, r7        @ p = scale * depth - 71 * 65536
        ldrb    lr, [r3, r9]            @ second depth, ahead of its use
        cmp     r12, r6, lsl #16        @ p < K << 16: the sample shows
        bge     .Lsecond                @ hidden behind what is drawn

        ldrb    r10, [r4, r8]           @ its colour
        sub     r8, r6, r12, asr #16    @ span length: K - new K
        movs    r6, r12, asr #16        @ new K = p >> 16
        bmi     .Lend1                  @ negative: the column ends here
        rsb     r8, r8, #180            @ stores to skip
        add     pc, pc, r8, lsl #2      @ into the run, 4 bytes a store
        mov     r0, r0                  @ (never executed)
        .rept   180
        strb    r10, [r2, -r5]!         @ one pixel up, and paint it
        .endr

.Lsecond:
        mla     r12, r11, lr, r7        @ p of the second sample
        cmp     r12, r6, lsl #16        @ shows?
        bge     .Lpair                  @ hidden: next pair

        ldrb    r11, [r4, r9]           @ its colour
        sub     r9, r6, r12, asr #16    @ span length
        movs    r6, r12, asr #16        @ new K
        bmi     .Lend2                  @ the column ends here
        rsb     r9, r9, #180            @ stores to skip
        add     pc, pc, r9, lsl #2      @ into the run
        mov     r0, r0                  @ (never executed)
        .rept   180
        strb    r11, [r2, -r5]!         @ one pixel up, and paint it
        .endr
        b       .Lpair                  @ next pair

.Lend2:
        mov     r8, r9                  @ span length
        mov     r10, r11                @ colour
        ldr     r12, [r1, #-4]          @ the sample's scale
        b       .Lend
.Lend1:
        ldr     r12, [r1, #-8]          @ the sample's scale
.Lend:
        add     r8, r8, r6              @ old K: length + new K
        add     r8, r8, #1              @ pixels from view row old K up to 0
        cmp     r12, #0                 @ scale 0: past the column's last sample
        moveq   r10, #223               @ then the sky (skyColor) above
        rsb     r8, r8, #180            @ stores to skip
        add     pc, pc, r8, lsl #2      @ into the run
        mov     r0, r0                  @ (never executed)
        .rept   180
        strb    r10, [r2, -r5]!         @ one pixel up, and paint it
        .endr
        ldmfd   sp!, {r4-r11, lr}       @ restore
        bx      lr                      @ return

        .align  2
.Lbias:
        .word   -71 * 65536
        .size   drawColumn, .-drawColumn

        .section .note.GNU-stack,"",%progbits
