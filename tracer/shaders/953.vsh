; Background box vertex program.
; c2 (eye, 1)   c4-c7 world x view x projection   c8-c11 world   (all transposed)
; Out: t0 world position of the box point   t1 the box point in its own space (no pixel program
; reads it; the box carries no texture coordinate)   t2 from the box point to the eye
vs.2.0
dcl_position v0
m4x4 oPos, v0, c4
m4x4 r0, v0, c8
mov oT0, r0
mov oT1, v0
sub oT2, c2, r0
