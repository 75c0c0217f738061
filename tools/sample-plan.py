#!/usr/bin/env python3
# Writes samples/plan-1-100.pdf: a small house plan at 1:100 on an A3 sheet
# (landscape), drawn by hand in PDF operators in millimetres of the sheet, to try
# the drawing on the on-screen pad. The house is 12000 x 8000 mm: 120 x 80 mm on
# the paper. Usage: tools/sample-plan.py [OUT.pdf]
import sys
W, H = 420.0, 297.0
ops = []
def o(s): ops.append(s)
o("%.5f 0 0 %.5f 0 %.3f cm" % (72/25.4, -72/25.4, H*72/25.4))
o("1 J 1 j 0 G")
def line(x1,y1,x2,y2,w=0.25):
    o("%.2f w %.2f %.2f m %.2f %.2f l S" % (w,x1,y1,x2,y2))
def rect(x,y,w,h,lw=0.25):
    o("%.2f w %.2f %.2f %.2f %.2f re S" % (lw,x,y,w,h))
def text(x,y,s,size=3.5):
    o("BT /F1 %.2f Tf 1 0 0 -1 %.2f %.2f Tm (%s) Tj ET" % (size,x,y,s))
# sheet border and title block
rect(10,10,W-20,H-20,0.7)
rect(W-130,H-40,120,30,0.5)
line(W-130,H-25,W-10,H-25,0.35)
text(W-126,H-30,"KALVOR SAMPLE HOUSE",5)
text(W-126,H-15,"FLOOR PLAN   SCALE 1:100   A3",4)
# the house: 12 m x 8 m outside at 1:100 = 120 x 80 mm, walls 1.5 mm
X, Y = 110, 80
rect(X, Y, 120, 80, 0.7)
rect(X+1.5, Y+1.5, 117, 77, 0.35)
# inner walls
for (x1,y1,x2,y2) in [(X+50,Y+1.5,X+50,Y+78.5),(X+50,Y+45,X+118.5,Y+45),(X+85,Y+45,X+85,Y+78.5),(X+1.5,Y+50,X+50,Y+50)]:
    line(x1,y1,x2,y2,0.7)
# doors: openings with arcs (quarter circles, radius 9 mm)
def door(x,y,r,sx,sy):
    k=0.5523*r
    o("0.25 w %.2f %.2f m %.2f %.2f l S" % (x,y,x+sx*r,y))
    o("0.18 w %.2f %.2f m %.2f %.2f %.2f %.2f %.2f %.2f c S" % (x+sx*r,y, x+sx*r,y+sy*k, x+sx*k,y+sy*r, x,y+sy*r))
door(X+55,Y+45,9,1,1)
door(X+90,Y+45,8,1,1)
door(X+20,Y+50,8,1,-1)
door(X+60,Y+160-80,10,1,-1)
# windows on the outer walls: triple lines
for x in (X+12, X+70, X+95):
    for dy in (0,0.75,1.5):
        line(x, Y+dy, x+18, Y+dy, 0.18)
# dimension lines below and left
def dim_h(x1,x2,y,label):
    line(x1,y,x2,y,0.18); line(x1,y-2,x1,y+2,0.18); line(x2,y-2,x2,y+2,0.18)
    text((x1+x2)/2-6,y-1.5,label,3)
def dim_v(x,y1,y2,label):
    line(x,y1,x,y2,0.18); line(x-2,y1,x+2,y1,0.18); line(x-2,y2,x+2,y2,0.18)
    o("BT /F1 3 Tf 0 -1 -1 0 %.2f %.2f Tm (%s) Tj ET" % (x-1.5,(y1+y2)/2+5,label))
dim_h(X,X+120,Y+92,"12000")
dim_h(X,X+50,Y+100,"5000"); dim_h(X+50,X+120,Y+100,"7000")
dim_v(X-12,Y,Y+80,"8000")
# room names
text(X+15,Y+25,"LIVING",3.5); text(X+75,Y+22,"DINING / KITCHEN",3.5)
text(X+58,Y+63,"BED",3.5); text(X+95,Y+63,"BATH",3.5); text(X+15,Y+66,"ENTRY",3.5)
# a site boundary and a north arrow
o("0.25 w [4 1.5 1 1.5] 0 d 60 45 230 190 re S [] 0 d")
line(330,60,330,90,0.35); o("0.35 w 326 68 m 330 60 l 334 68 l S"); text(328.5,98,"N",5)
content = "\n".join(ops).encode()
objs = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
 b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %.3f %.3f] /Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>" % (W*72/25.4, H*72/25.4),
 b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream",
 b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
out = b"%PDF-1.4\n"; offs=[]
for i,ob in enumerate(objs,1):
    offs.append(len(out)); out += b"%d 0 obj\n" % i + ob + b"\nendobj\n"
x = len(out)
out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objs)+1)
for of in offs: out += b"%010d 00000 n \n" % of
out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objs)+1, x)
open(sys.argv[1] if len(sys.argv) > 1 else "samples/plan-1-100.pdf", "wb").write(out)
