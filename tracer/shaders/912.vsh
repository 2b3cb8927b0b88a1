; Shadow vertex program of the forward pass.
; c0 (0, 0.5, 1, 2)   c1 (1/65535, 0.5, 10, 1)   c2 mesh centre offset (w 0)   c3 (light position, 1)
; c4-c7 world x view x projection   c8-c11 world (both transposed)
; Out: t0 (d / 65535, d, d, d), d the distance to the light   t1 noise coordinates, the unit
; vector from the light to the point times c1.z   t2 that unit vector, w = -1 (the spot shadows
; take the cone test c23 . t2 - c23.w as one dp4)
vs.2.0
dcl_position v0
sub r0, v0, c2
m4x4 oPos, r0, c4
m4x4 r1, r0, c8
sub r2.xyz, c3, r1
dp3 r3.x, r2, r2
rsq r3.y, r3.x
rcp r3.z, r3.y
mul oT0.x, r3.z, c1.x
mov oT0.yzw, r3.z
mul r4.xyz, r2, -r3.y
mul oT1.xyz, r4, c1.z
mov oT2.xyz, r4
mov oT2.w, -c1.w
