; Lens flare vertex program.
; c1 (light position, 1)   c2 (eye, 1)   c4-c7 sphere world x view x flare projection
; c8-c11 sphere world   c12-c15 the frame's view x projection (all transposed)
; Out: t0 normal   t1 towards the eye   t2 towards the light   t3 the light's clip position
vs.2.0
dcl_position v0
dcl_normal v1
mov r2, c1
m4x4 r1, r2, c12
mov oT3, r1
m4x4 oPos, v0, c4
m4x4 r0, v0, c8
mov oT0, v1
sub oT1, c2, r0
sub oT2, c1, r0
