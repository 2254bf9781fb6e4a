//
//  MXPets.m
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import "MXPets.h"

@implementation MXPets

@end
