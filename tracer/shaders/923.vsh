; Spot-light cone vertex program: for a shell point, where the view ray through it leaves the
; layer's cone x^2 + y^2 = k z^2 (apex at the light, z along the beam).
; c1 (light position, 1)   c2 (k, 4, 2, 1)   c3 (camera position, 1)
; c4-c7 shell world x view x projection   c12-c15 light frame to world
; c16-c19 shell to light frame   c20-c23 world to light frame (all transposed)
; Out: t0 direction from the shell point to the light   t1 the shell point (world)
;      t2 the exit point (world)
vs.2.0
def c0, 0, 0, 0, 0
dcl_position v0
dcl_normal v1
m4x4 oPos, v0, c4
m4x4 r0, v0, c16
mov r1, c3
m4x4 r11, r1, c20
sub r1.xyz, r0, r11
; Qa = r.x^2 + r.y^2 - k r.z^2, Qb = 2 (r.x p.x + r.y p.y - k r.z p.z), Qc = p.x^2 + p.y^2 - k p.z^2
mul r2.xyz, r1, r1
add r2.x, r2.x, r2.y
mad r2.x, -c2.x, r2.z, r2.x
mul r3.xyz, r1, r0
add r3.x, r3.x, r3.y
mad r3.x, -c2.x, r3.z, r3.x
mul r3.x, r3.x, c2.z
mul r4.xyz, r0, r0
add r4.x, r4.x, r4.y
mad r4.x, -c2.x, r4.z, r4.x
; Delta = Qb^2 - 4 Qa Qc, below 0 (no crossing) taken as 0
mul r5.x, r2.x, r4.x
mul r5.x, r5.x, c2.y
mad r5.x, r3.x, r3.x, -r5.x
max r5.x, r5.x, c0.x
rsq r5.y, r5.x
rcp r5.y, r5.y
; t = max(t1, 0) + max(t2, 0)
mul r6.x, r2.x, c2.z
rcp r6.x, r6.x
sub r6.y, r5.y, r3.x
mul r6.y, r6.y, r6.x
add r6.z, -r5.y, -r3.x
mul r6.z, r6.z, r6.x
max r6.y, r6.y, c0.x
max r6.z, r6.z, c0.x
add r6.w, r6.y, r6.z
mov r0.w, c2.w
m4x4 r7, r0, c12
mov oT1, r7
mad r8.xyz, r6.w, r1, r0
mov r8.w, c2.w
m4x4 oT2, r8, c12
sub r9.xyz, c1, r7
nrm r10.xyz, r9
mov oT0.xyz, r10
