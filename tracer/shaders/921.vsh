; Light halo vertex program.
; c0 (0, R / 2, 1 / R, 1)   c1 (0, 0, 0, 1)   c4-c7 world x view x projection   c8-c11 world x view
; (transposed)
; Out: t0 (direction from the centre to the vertex in the view plane x, y; (R / 2 - distance) / R; 0)
; The squared distance is kept above a small minimum: a vertex on the view ray through the centre
; has no direction.
vs.2.0
def c2, 0.000001, 0, 0, 0
dcl_position v0
dcl_normal v1
m4x4 oPos, v0, c4
m4x4 r0, v0, c8
mov r5, c1
m4x4 r1, r5, c8
sub r2, r1, r0
mov r2.z, c0.x
dp3 r3.x, r2, r2
max r3.x, r3.x, c2.x
rsq r3.y, r3.x
mul r4.xy, r2, r3.y
mul r3.z, r3.x, r3.y
sub r3.w, c0.y, r3.z
mul r4.z, r3.w, c0.z
mov r4.w, c0.x
mov oT0, r4
