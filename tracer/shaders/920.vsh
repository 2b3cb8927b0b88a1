; Depth-of-field composite vertex program.
; c0 (mesh centre offset, 0)   c1 (100, near, far, 1)   c4-c7 world x view x projection
; c8-c11 world (both transposed)
; Out: t0 the clip position, read per pixel for the screen position and the depth
;      t1 the world position times 100, where the noise is looked up
vs.2.0
dcl_position v0
sub r0, v0, c0
m4x4 r1, r0, c4
mov oPos, r1
mov oT0, r1
m4x4 r2, r0, c8
mul oT1, r2, c1.x
